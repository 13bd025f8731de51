#include "mapfile/detect_armlink.h"

#include "mapfile/armlink_map_line.h"
#include "text/text_tokens.h"

namespace tarvel {

bool looks_like_armlink(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (text.starts_with("Component: ARM Compiler") ||
        text.starts_with("Component: Arm Compiler")) {
        return true;
    }
    return armlink::part_of_heading(text) == armlink::part::memory_map;
}

}  // namespace tarvel
