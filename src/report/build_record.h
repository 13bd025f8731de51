// A stored build as lists show it: who built what, when, and its totals. The history fills it
// in; the renderers show it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarvel {

struct build_info {
    std::string target;
    std::string commit;
    std::string parent;  // empty: none
    std::string branch;  // empty: none
    std::string time;    // ISO-8601
    std::vector<std::pair<std::string, std::string>> labels;
};

struct build_row {
    build_info info;
    std::int64_t id = 0;
    std::int64_t ram_used = 0;
    std::int64_t ram_total = 0;
    std::int64_t rom_used = 0;
    std::int64_t rom_total = 0;
    std::int64_t entry_count = 0;
    bool has_entries = false;  // false once pruned
};

}  // namespace tarvel
