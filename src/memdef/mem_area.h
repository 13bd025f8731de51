// An address range of the target: a memory area of the definition, or a map entry's extent.
#pragma once

#include <cstdint>

namespace tarvel {

// Position value that means "held by no area".
inline constexpr std::uint32_t no_area = 0xFFFFFFFFu;

struct mem_area {
    std::uint32_t start = 0;
    std::uint32_t size = 0;  // in bytes: the area covers start .. start + size - 1
    std::uint32_t index = no_area;
};

}  // namespace tarvel
