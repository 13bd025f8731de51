// Every failure message of `tarvel` and the exit code that goes with it: the one place where its
// path problems, analysis status and EEPROM problems become text. The words and the order of the
// lines are the program's interface to the scripts that read its output.
#pragma once

#include <iosfwd>

#include "analysis/eep_usage.h"
#include "analysis/usage_analysis.h"
#include "app/input_path.h"

namespace tarvel {

// Prints the message for an input argument that names nothing; `what` names the input
// ("definition", "map", "eep"). Gives the run's exit code.
int print_path_failure(std::ostream& out, input_path_problem problem, const char* what);

// Prints the message lines of a failed analysis, in their order; nothing for `ok` and
// `nothing_placed`.
void print_analysis_failure(std::ostream& out, analysis_status status);

// Prints the message line of a failed EEPROM reading.
void print_eep_failure(std::ostream& out, eep_problem problem);

}  // namespace tarvel
