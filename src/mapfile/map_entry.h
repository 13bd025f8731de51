// One item of a linker map: a section or a symbol.
#pragma once

#include <cstdint>
#include <string>

#include "memdef/mem_area.h"

namespace tarvel {

struct c_map_entry {
    std::uint32_t address = 0;
    std::uint32_t size = 0;         // bytes; bits when is_bit is 1
    std::uint32_t index = no_area;  // position of the containing area once placed
    std::string name;               // as written in the map
    std::int32_t is_bit = 0;        // 1 for a bit variable
};

}  // namespace tarvel
