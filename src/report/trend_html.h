// The memory use of a target's builds along a branch as one self-contained HTML page: a line
// chart per memory area with the area's size, the largest steps marked, and a table of the
// builds, drawn in the browser from the trend embedded in the page as JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvel {

struct trend_build {     // one stored build, in commit order along the branch
    std::string commit;  // the full commit id as stored
    std::string parent;  // empty when none was stored
    std::string time;    // ISO-8601 as stored
};

struct trend_area {                                  // one memory area's figures over the builds
    std::string name;                                // "FLASH", "Prg seg0", ...
    std::string kind;                                // "program", "ram", "eeprom"
    std::vector<std::optional<std::uint64_t>> used;  // one per build; none where the build lacks
    std::vector<std::optional<std::uint64_t>> size;  // the area
};

struct trend_data {
    std::string target;
    std::string branch;
    std::vector<trend_build> builds;
    std::vector<trend_area> areas;
};

// The page. It loads nothing from elsewhere and its policy forbids it to; every text of the
// data stands in it escaped. An area's figures are taken one per build: where a list is
// shorter than the builds, the missing figures count as absent. The JSON holds every figure
// exactly; the page's script reads them as doubles, exact up to 2^53 bytes.
std::string render_trend_html(const trend_data& data);

}  // namespace tarvel
