#include "mapfile/map_formats.h"

#include <array>

#include "mapfile/map_file_altium.h"
#include "mapfile/map_file_armlink.h"
#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/map_file_gnu.h"
#include "mapfile/map_file_iar.h"
#include "mapfile/map_file_lld.h"
#include "mapfile/map_file_otter.h"
#include "mapfile/map_file_ti.h"

namespace tarvel {

namespace {
template <typename Reader>
std::unique_ptr<c_map_file> make(const text_source& map) {
    return std::make_unique<Reader>(map);
}

constexpr std::string_view low_26_bits =
    "keep only the low 26 bits of each address (Puma_mem32_unlimited keeps all 32)";

// One row a format. Each row begins on a line of its own with `map_format{"Keyword",`: the
// fuzz build and the fuzz script read the keywords from these lines.
constexpr std::array formats{
    map_format{"Orca", "vendor linker listing with a symbol table", &make<c_map_file_altium>,
               &c_map_file_altium::evidence, ""},
    map_format{"Puma", "vendor section map", &make<c_map_file_elxr>, &c_map_file_elxr::evidence,
               low_26_bits},
    map_format{"Puma_mem32_unlimited", "vendor section map with 32-bit addresses",
               &make<c_map_file_elxr_mem32_unlimited>, &c_map_file_elxr_mem32_unlimited::evidence,
               ""},
    map_format{"Ibex", "vendor section map of the Ibex sections", &make<c_map_file_elxr_ibex>,
               &c_map_file_elxr_ibex::evidence, low_26_bits},
    map_format{"Wren", "vendor section map with a symbol list", &make<c_map_file_elxr_wren>,
               &c_map_file_elxr_wren::evidence, low_26_bits},
    map_format{"Gnu", "GNU ld map (ld -Map)", &make<c_map_file_gnu>, &c_map_file_gnu::evidence, ""},
    map_format{"Lld", "LLVM lld map (ld.lld -Map)", &make<c_map_file_lld>,
               &c_map_file_lld::evidence, ""},
    map_format{"Otter", "image-summary map", &make<c_map_file_otter>, &c_map_file_otter::evidence,
               ""},
    map_format{"Armlink", "Arm armlink map", &make<c_map_file_armlink>,
               &c_map_file_armlink::evidence, ""},
    map_format{"Iar", "IAR ILINK map", &make<c_map_file_iar>, &c_map_file_iar::evidence, ""},
    map_format{"Ti", "TI ARM or MSP430 linker map", &make<c_map_file_ti>, &c_map_file_ti::evidence,
               ""},
};
}  // namespace

std::span<const map_format> map_formats() {
    return formats;
}

const map_format* find_map_format(std::string_view keyword) {
    for (const map_format& format : formats) {
        if (format.keyword == keyword) {
            return &format;
        }
    }
    return nullptr;
}

std::string map_format_keywords() {
    std::string text;
    for (const map_format& format : formats) {
        text += text.empty() ? "" : ", ";
        text += format.keyword;
    }
    return text;
}

std::string map_format_descriptions() {
    std::string text;
    for (const map_format& format : formats) {
        text += text.empty() ? "" : ", ";
        text += format.description;
        text += " (";
        text += format.keyword;
        text += ")";
    }
    return text;
}

}  // namespace tarvel
