// The "Memory Configuration" table of a GNU ld map: the MEMORY regions of the linker script.
//
//   Name             Origin             Length             Attributes
//   FLASH            0x08000000         0x00010000         xr
//   RAM              0x20000000         0x00005000         xrw
//   data             0x0000000000800100 0x0000000000000800 rw !x
//   *default*        0x00000000         0xffffffff
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvel::gnu {

struct memory_region {
    std::string name;
    std::uint32_t origin = 0;
    std::uint32_t length = 0;
    bool writable = false;  // RAM; every other region is program memory
};

// Whether ld's region attributes allow writing. The letters name the kinds of section the
// region takes (r read-only, w writable, x code, a allocated, i or l initialised); a "!"
// reverses the sense of the letters after it, up to the next "!". So "rw!x" is writable
// memory that holds no code, and "rx!w" or "!w" memory that writing sections may not use.
// Letters may stand apart ("rw !x"); case does not matter.
bool attributes_allow_writing(std::string_view attributes);

// Reads one line of the table. False for the heading line, "*default*" (the whole address
// space, no region), a blank line and anything else that is no region line, and for a region
// that begins beyond 32 bits; a region that would reach past 2^32 ends there.
bool read_region_line(std::string_view line, memory_region& region);

}  // namespace tarvel::gnu
