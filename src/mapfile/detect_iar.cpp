#include "mapfile/detect_iar.h"

#include "mapfile/iar_map_line.h"

namespace tarvel {

bool looks_like_iar(std::string_view line) {
    return line.find("IAR ELF Linker") != std::string_view::npos ||
           iar::part_of_title(line) == iar::part::placement_summary;
}

}  // namespace tarvel
