// The part of the HTML page that needs no script: the inputs, the RAM and ROM totals and one
// line per area. Viewers that block scripts (some build servers serve artifacts so) show this.
#pragma once

#include <ostream>
#include <string>

#include "analysis/usage_model.h"

namespace tarvel {

struct html_summary_info {
    std::string run_date;
    std::string version;
};

// Writes the summary as a <section id="tarvel-summary"> element; the page's script hides it
// when it draws the full report.
void render_html_summary(std::ostream& out, const usage_model& model,
                         const html_summary_info& info);

}  // namespace tarvel
