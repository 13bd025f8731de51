// The usage model as one self-contained HTML page: bars per area, treemaps of program memory
// and RAM, and a sortable, filterable table of the entries, drawn in the browser from the JSON
// report embedded in the page.
#pragma once

#include <ostream>

#include "report/report_context.h"

namespace tarvel {

// Writes the page to `out`. The page embeds the JSON report of the context once and draws
// everything from it: `context.report_json` when the caller made it already, else made here.
// Besides, the page holds a summary of the totals and areas written here from the model, for
// viewers that run no scripts, and the run date, the version and the treemaps' grouping.
void render_html_report(std::ostream& out, const report_context& context);

}  // namespace tarvel
