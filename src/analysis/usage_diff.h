// The change between two builds: RAM, ROM, every area and search, and the entries that were
// added, removed, grew or shrank.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/usage_snapshot.h"

namespace tarvel {

// after - before. A base report may hold any 64-bit figure: a change beyond 64 bits is held at
// +-(2^63 - 1), which also keeps its magnitude a 64-bit integer.
constexpr std::int64_t change_between(std::int64_t before, std::int64_t after) {
    constexpr std::int64_t largest = INT64_MAX;
    if (before < 0 && after > largest + before) {
        return largest;
    }
    if (before >= 0 && after < before - largest) {
        return -largest;
    }
    return after - before;
}

struct figure_change {
    std::string label;  // an area's name or a search's text; empty for RAM and ROM
    std::int64_t before = 0;
    std::int64_t after = 0;
    std::int64_t change = 0;
    // In percent of the value before; none when that was 0.
    std::optional<double> change_percent() const;
};

enum class entry_status { added, removed, grew, shrank };

// "added", "removed", "grew", "shrank".
const char* entry_status_name(entry_status status);

// Points into the snapshots the diff was made from, which must outlive it: a diff of two
// builds of a large program can list millions of entries.
struct entry_change {
    std::string_view area;
    std::string_view name;
    entry_status status = entry_status::grew;
    std::int64_t before = 0;
    std::int64_t after = 0;
    std::int64_t change() const { return change_between(before, after); }
};

struct usage_diff {
    std::string base;  // the base report's path
    figure_change ram;
    figure_change rom;
    std::vector<figure_change> areas;     // this build's, then those only the base had
    std::vector<figure_change> searches;  // likewise
    std::vector<entry_change> entries;    // largest change first
};

// Entries are matched by area and name, and entries of equal area and name by their order:
// the first with the first, and so on. The diff refers to the names of both snapshots. An entry
// without a match was added or removed; a matched one whose size changed grew or shrank; unchanged
// ones are not listed.
usage_diff diff_usage(const usage_snapshot& base, const usage_snapshot& current);

}  // namespace tarvel
