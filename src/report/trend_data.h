// A target's memory use over the builds of a branch, as the trend page and the trend's CSV and
// JSON show it.
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

struct trend_area {    // one memory area's figures over the builds
    std::string name;  // "FLASH", "Prg seg0", ...
    std::string kind;  // "program", "ram", "eeprom" (as the JSON report's area kind)
    std::vector<std::optional<std::uint64_t>>
        used;  // one per build; nullopt where the build lacks the area
    std::vector<std::optional<std::uint64_t>> size;
};

struct trend_data {
    std::string target;
    std::string branch;
    std::vector<trend_build> builds;
    std::vector<trend_area> areas;
};

}  // namespace tarvel
