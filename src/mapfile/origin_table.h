// The object files and archive members that a map names as the origin of its entries, each
// distinct pair kept once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mapfile/map_entry.h"
#include "mapfile/name_arena.h"

namespace tarvel {

// Splits a file name as linkers write it: "libhal.a(uart.o)" is the member "uart.o" of the
// archive "libhal.a", anything else an object file. The member is the text in the last pair of
// brackets that ends the name, so a directory such as "C:/Program Files (x86)/" stays part of
// the archive's path.
entry_origin split_origin(std::string_view file);

// The name of an origin the way linkers write it, the reverse of split_origin: "uart.o" of the
// archive "libhal.a" is "libhal.a(uart.o)", an object file outside an archive its name alone.
std::string origin_name(const entry_origin& origin);
// The same name written over `name`, whose storage a reader reuses from one entry to the next.
void assign_origin_name(std::string& name, std::string_view archive, std::string_view member);

class c_origin_table {
  public:
    // Fills `origins`, which the reader exposes; it must outlive the table.
    explicit c_origin_table(std::vector<entry_origin>& origins) : origins_(origins) {}

    // The position of the origin that `file` names, added on first sight; no_origin for an
    // empty name.
    std::uint32_t index_of(std::string_view file);
    // The position of `origin`, added on first sight: for the origins of another table.
    std::uint32_t index_of(const entry_origin& origin);

  private:
    std::vector<entry_origin>& origins_;
    std::map<std::pair<std::string, std::string>, std::uint32_t> known_;
    // Each file name as the map spells it, split once: a map names the same few hundred files
    // for a million entries.
    // The spellings in a flat table with open addressing (a power of two in size, at most half
    // full): a lookup per input section costs one hash and, mostly, one comparison.
    struct spelling_slot {
        std::string_view spelling;  // empty: a free slot
        std::size_t hash = 0;
        std::uint32_t index = 0;
    };
    void add_spelling(std::string_view spelling, std::size_t hash, std::uint32_t index);

    c_name_arena spellings_;
    std::vector<spelling_slot> by_spelling_;
    std::size_t spelling_count_ = 0;
};

}  // namespace tarvel
