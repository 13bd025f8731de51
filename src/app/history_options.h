// The command line of `tarvel-history`.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/report_options.h"

namespace tarvel {

enum class history_command { add, list, show, compare, trend, blame, prune };

struct history_options {
    history_command command = history_command::list;
    std::string db;
    record_request build;                 // add: the build and its report's target, commit, ...
    std::string report;                   // add: the JSON report's path
    std::string target;                   // every command but add and prune
    std::string branch;                   // list, trend
    std::size_t last = 0;                 // list: 0 for every build
    std::string format;                   // list, compare, trend; empty: the command's default
    std::string commit;                   // show
    std::string base;                     // compare
    std::string head;                     // compare
    std::vector<std::string> max;         // compare
    std::vector<std::string> max_growth;  // compare
    std::size_t top = 10;                 // compare, blame
    std::vector<std::string> areas;       // trend; blame: the one area
    std::string html;                     // trend: the page's file, empty for none
    long long keep_entries = -1;          // prune
};

// Reads the command line. `done`: --help or --version was answered on `out`; `error`: the
// message went to `err`.
options_status parse_history_options(int argc, const char* const* argv, history_options& options,
                                     std::ostream& out, std::ostream& err);

}  // namespace tarvel
