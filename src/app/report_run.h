// The run of `tarvel-report`: the command line, the analysis, every report asked for, the
// budgets and the exit code.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "app/report_options.h"

namespace tarvel {

// Exit codes of tarvel-report.
enum report_exit : int {
    report_success = 0,
    report_budget_exceeded = 1,
    report_usage_error = 2,    // a wrong command line
    report_input_error = 3,    // an input that cannot be read or understood, or an output
                               // that cannot be written
    report_nothing_found = 4,  // no entry recognised, or none in a defined area
};

// Stores the run's JSON report in a history database (--record); gives the exit code of the
// storing, 0 when it was stored.
using report_recorder =
    std::function<int(const record_request& request, const std::string& json, std::ostream& err)>;

// Without a recorder, a build of the program that keeps no history, --record is refused.
int run_report(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               const report_recorder& recorder = {});

}  // namespace tarvel
