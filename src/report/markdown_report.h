// A Markdown summary fit for a pull-request comment: a table per area kind, the searches, the
// budgets and the largest changes (or, without a base, the largest entries).
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "analysis/usage_model.h"
#include "report/report_sections.h"

namespace tarvel {

void render_markdown_report(std::ostream& out, const usage_model& model,
                            const report_extras& extras);

// Text for a table cell: characters that Markdown or HTML would read as markup are escaped,
// so that a name such as "a|b" or "<script>" shows as it is.
std::string markdown_text(std::string_view text);

}  // namespace tarvel
