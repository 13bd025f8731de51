// tarvel-report's text report: the memory report as tarvel prints it, the RAM areas, the
// largest entries of every area, and the diff and budget sections when asked for.
#pragma once

#include <ostream>
#include <string>

#include "analysis/usage_model.h"
#include "report/report_sections.h"

namespace tarvel {

// `ambiguity_file` names the file the ambiguity records were written to, or is null.
void render_text_report(std::ostream& out, const usage_model& model, const report_extras& extras,
                        const std::string* ambiguity_file);

}  // namespace tarvel
