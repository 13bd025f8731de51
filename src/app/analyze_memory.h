// The memory analysis of a `tarvel` run: the analysis, its failure messages, the ambiguity file
// and the memory report.
#pragma once

#include <iostream>
#include <string>

namespace tarvel {

// Returns true when the run completed, with a report, or without one when the map held no
// entry in a defined area; false after printing a failure message to `out`.
bool analyze_memory(const std::string& map_file_name, const std::string& def_file_name,
                    const std::string& type, std::ostream& out = std::cout);

}  // namespace tarvel
