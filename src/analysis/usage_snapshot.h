// The figures of a report that a later build is compared with: what the diff needs, from the
// usage model of this run or from a stored JSON report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/usage_model.h"

namespace tarvel {

// The stored JSON report: its format's name and the version this program writes and reads.
inline constexpr const char* json_format_name = "tarvel-usage";
inline constexpr int json_format_version = 1;

struct snapshot_figure {
    std::string label;  // an area's name or a search's text
    std::int64_t bytes = 0;
};

struct snapshot_entry {
    std::string area;
    std::string name;
    std::int64_t size = 0;
};

struct usage_snapshot {
    std::int64_t ram_used = 0;
    std::int64_t rom_used = 0;
    std::vector<snapshot_figure> areas;
    std::vector<snapshot_figure> searches;
    std::vector<snapshot_entry> entries;  // in the report's order
};

// The figures as the reports print them: RAM's bits rounded to whole bytes.
usage_snapshot snapshot_of(const usage_model& model);

}  // namespace tarvel
