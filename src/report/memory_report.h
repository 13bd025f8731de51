// The memory report: RAM and ROM totals and usage, one line per program area and the program
// memory broken down by search.
#pragma once

#include <ostream>
#include <string>

#include "analysis/usage_model.h"

namespace tarvel {

// Writes the report to `out`. When the searches counted a name more than once, a warning
// follows the breakdown; it names `ambiguity_file`, where the records were written, unless
// that is null. The stream's format state is restored afterwards.
void render_memory_report(std::ostream& out, const usage_model& model,
                          const std::string* ambiguity_file);

// The program-area lines of the report ("  Prg seg0:     Used ..."), also used for RAM areas.
void render_area_line(std::ostream& out, const area_usage& area);

}  // namespace tarvel
