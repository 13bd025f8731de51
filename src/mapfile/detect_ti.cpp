#include "mapfile/detect_ti.h"

#include "mapfile/ti_map_line.h"
#include "text/text_tokens.h"

namespace tarvel {

bool looks_like_ti(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (text.starts_with("TI ARM Linker") || text.starts_with("TI ARM Clang Linker") ||
        text.starts_with("MSP430 Linker")) {
        return true;
    }
    return ti::part_of_heading(line) == ti::part::section_allocation;
}

}  // namespace tarvel
