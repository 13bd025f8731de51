// Parses a map text with one reader and gives back what it placed, as vectors that tests can
// compare and index.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mapfile/entry_list.h"
#include "mapfile/map_entry.h"
#include "mapfile/map_file.h"
#include "mapfile/name_arena.h"
#include "memdef/memory_def.h"
#include "support/temp_dir.h"

namespace tarvel::test {

// Whether a parse read the map and placed an entry.
inline bool placed_any(const c_result<parsed_map>& parsed) {
    return parsed && parsed->placed_any;
}

// What one parse gave: whether it placed an entry, and the placed entries in the order of their
// lists.
struct parse_result {
    bool result = false;
    std::vector<c_map_entry> program;
    std::vector<c_map_entry> memory;
    c_name_arena names;  // of the entries above: the lists that held them are gone
};

// Copies the placed entries into `r`, with their names: the lists are about to go.
inline void keep_placed(parse_result& r, const c_entry_list& program, const c_entry_list& memory) {
    const auto keep = [&r](const c_entry_list& list, std::vector<c_map_entry>& entries) {
        for (c_map_entry entry : list) {
            entry.name = r.names.store(entry.name);
            entries.push_back(entry);
        }
    };
    keep(program, r.program);
    keep(memory, r.memory);
}

// Parses the text `map` with a `Reader` against `def`.
template <typename Reader>
parse_result parse_map(const c_memory_def& def, const std::string& map) {
    Reader reader(text_source::text(map, "a.map"));
    c_entry_list program;
    c_entry_list memory;
    parse_result r;
    r.result = placed_any(reader.parse(def, program, memory));
    keep_placed(r, program, memory);
    return r;
}

// A fixture whose `parse` reads map texts with a `Reader` against the fixture's `def`, which
// the test or a derived fixture fills in first.
template <typename Reader>
class c_reader_test : public ::testing::Test {
  protected:
    parse_result parse(const std::string& map) { return parse_map<Reader>(def, map); }

    c_temp_dir dir;
    c_memory_def def;
};

inline std::vector<std::string> names(const std::vector<c_map_entry>& entries) {
    std::vector<std::string> result;
    for (const c_map_entry& e : entries) {
        result.emplace_back(e.name);
    }
    return result;
}

// The names of the placed entries, program entries first.
inline std::vector<std::string> names(const parse_result& r) {
    std::vector<std::string> result = names(r.program);
    for (const c_map_entry& e : r.memory) {
        result.emplace_back(e.name);
    }
    return result;
}

}  // namespace tarvel::test
