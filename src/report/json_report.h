// The usage model as JSON: the format "tarvel-usage", version 1, that docs/usage.schema.json
// describes. Every byte figure is the one the text report prints for the same model.
#pragma once

#include <ostream>

#include "report/report_context.h"

namespace tarvel {

// The generator is `context.program` and `context.version`; the members "diff" and "budgets"
// come from the context when it has them.
void render_json_report(std::ostream& out, const report_context& context);

}  // namespace tarvel
