// One item of a linker map: a section or a symbol.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "memdef/mem_area.h"

namespace tarvel {

// Value of `c_map_entry::origin` for an entry whose map names no object file.
inline constexpr std::uint32_t no_origin = 0xFFFFFFFFu;

// Small and of fixed size, so that a million of them fill a few large blocks. The name is a
// view: the lists that keep entries (c_entry_list, c_entry_vector) copy the characters into
// storage of their own when an entry is added, so an entry may be filled with a view of the
// line being read.
struct c_map_entry {
    std::uint32_t address = 0;
    std::uint32_t size = 0;         // bytes (bits when is_bit is 1) that count in the area
    std::uint32_t index = no_area;  // position of the containing area once placed
    // Bytes that the map lists for the entry beyond those it counts: pieces that share
    // addresses, such as merged constants, count each byte once. It fills the record's
    // alignment gap before the name, so the record keeps its size.
    std::uint32_t uncounted = 0;
    std::string_view name;             // as written in the map
    std::int32_t is_bit = 0;           // 1 for a bit variable
    std::uint32_t origin = no_origin;  // position in the reader's origins, or no_origin

    // The size as the map lists it.
    std::uint64_t listed_size() const { return std::uint64_t{size} + uncounted; }
};

// Lists keep entries by the million: the record stays at 40 bytes.
static_assert(sizeof(void*) != 8 || sizeof(c_map_entry) == 40);

// Where an entry comes from, as a map with object files names it: "startup.o", or the member
// "uart.o" of the archive "libhal.a".
struct entry_origin {
    std::string object;   // the object file, or the archive member
    std::string archive;  // empty for an object file outside an archive
};

}  // namespace tarvel
