// A Markdown summary fit for a pull-request comment: a table per area kind, the searches, the
// budgets and the largest changes (or, without a base, the largest entries).
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "report/report_context.h"

namespace tarvel {

void render_markdown_report(std::ostream& out, const report_context& context);

// Text for a table cell: characters that Markdown or HTML would read as markup are escaped,
// so that a name such as "a|b" or "<script>" shows as it is.
std::string markdown_text(std::string_view text);

}  // namespace tarvel
