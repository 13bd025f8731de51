// The usage model as JSON: the format "tarvel-usage", version 1, that docs/usage.schema.json
// describes. Every byte figure is the one the text report prints for the same model.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "analysis/budget.h"
#include "analysis/usage_diff.h"
#include "analysis/usage_model.h"
#include "analysis/usage_snapshot.h"

namespace tarvel {

struct json_report_options {
    std::string program = "tarvel-report";
    std::string version;                                  // of the program that writes the report
    const usage_diff* diff = nullptr;                     // with --diff: the member "diff"
    const std::vector<budget_result>* budgets = nullptr;  // the member "budgets", when any
};

void render_json_report(std::ostream& out, const usage_model& model,
                        const json_report_options& options);

}  // namespace tarvel
