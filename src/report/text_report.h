// tarvel-report's text report: the memory report as tarvel prints it, the RAM areas, the
// largest entries of every area, and the diff and budget sections when asked for.
#pragma once

#include <ostream>

#include "report/report_context.h"

namespace tarvel {

// The memory report names `context.ambiguity_file` when the ambiguity records went there.
void render_text_report(std::ostream& out, const report_context& context);

}  // namespace tarvel
