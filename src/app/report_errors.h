// The messages of `tarvel-report` for the analysis status and the EEPROM reading, and the exit
// code each failure ends the run with: the one place where these become text for that program.
#pragma once

#include <iosfwd>
#include <string>

#include "analysis/eep_usage.h"
#include "analysis/usage_analysis.h"

namespace tarvel {

inline constexpr const char* report_program = "tarvel-report: ";

// For a failed analysis, prints its message on `err` and gives the exit code; 0 for `ok` and
// `nothing_placed`, which are no failure of the reading. `definition` and `map` are the files
// the run was given.
int report_analysis_failure(std::ostream& err, analysis_status status,
                            const std::string& definition, const std::string& map);

// Why a map gave nothing (`nothing_placed`, or no entry recognised), and what to check.
void explain_nothing_found(std::ostream& err, const usage_model& model);

// The message of an EEPROM file `path` that gave no sizes.
void print_eep_failure(std::ostream& err, eep_problem problem, const std::string& path);

}  // namespace tarvel
