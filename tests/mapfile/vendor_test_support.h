// Reads a map text with one of the vendor readers and keeps what the reader saw: the placed
// entries, the counts (damaged lines among them) and the origins.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mapfile/map_entry.h"
#include "mapfile/reader_counts.h"
#include "support/reader_fixture.h"
#include "text/text_source.h"

namespace tarvel::test {

struct vendor_result {
    parse_result placed;
    reader_counts counts;
    std::vector<entry_origin> origins;

    // "object" or "archive(object)" of a placed entry, empty for none.
    std::string origin_of(const c_map_entry& entry) const {
        if (entry.origin == no_origin) {
            return "";
        }
        const entry_origin& origin = origins.at(entry.origin);
        return origin.archive.empty() ? origin.object : origin.archive + "(" + origin.object + ")";
    }
};

template <typename Reader>
vendor_result read_vendor_map(const c_memory_def& def, const std::string& map) {
    Reader reader(text_source::text(map));
    c_entry_list program;
    c_entry_list memory;
    vendor_result r;
    r.placed.result = placed_any(reader.parse(def, program, memory));
    keep_placed(r.placed, program, memory);
    r.counts = reader.counts();
    r.origins = reader.origins();
    return r;
}

// The areas that a reader takes from the map itself.
template <typename Reader>
c_memory_def map_areas(const std::string& map) {
    Reader reader(text_source::text(map));
    c_memory_def def;
    def.loaded = reader.define_areas(def);
    return def;
}

inline std::uint64_t sum_sizes(const std::vector<c_map_entry>& entries) {
    std::uint64_t total = 0;
    for (const c_map_entry& entry : entries) {
        total += entry.size;
    }
    return total;
}

}  // namespace tarvel::test
