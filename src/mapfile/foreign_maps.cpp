#include "mapfile/foreign_maps.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tarvel {

namespace {
struct banner {
    std::string_view text;  // compared without regard to case
    std::string_view linker;
};

// A banner of a format that becomes readable is taken by its reader's evidence first, which is
// asked before this list.
constexpr std::array banners{
    banner{"IAR Universal Linker", "IAR XLINK"},
    banner{"C2000 Linker", "a TI linker (C2000)"},
    banner{"C6000 Linker", "a TI linker (C6000)"},
    banner{"MPLAB XC8", "Microchip XC8"},
    banner{"HI-TECH C", "Microchip XC8 (HI-TECH C)"},
    // XC16's linker prints its usage tables in program-counter units before ld's headings.
    banner{"length (PC units)", "Microchip XC16"},
    banner{"Renesas Optimizing Linker", "the Renesas optimizing linker (CC-RX, CC-RL or CC-RH)"},
    banner{"ASxxxx Linker", "SDCC (sdld)"},
    banner{"BL51 BANKED LINKER", "Keil C51 (BL51)"},
    banner{"LX51 LINKER", "Keil C51 (LX51)"},
};

bool contains_ignoring_case(std::string_view line, std::string_view text) {
    const auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    return std::search(line.begin(), line.end(), text.begin(), text.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != line.end();
}
}  // namespace

std::string_view foreign_linker_of(std::string_view line) {
    for (const banner& known : banners) {
        if (line.size() >= known.text.size() && contains_ignoring_case(line, known.text)) {
            return known.linker;
        }
    }
    return {};
}

}  // namespace tarvel
