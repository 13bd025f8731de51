// Report contexts for the renderer tests, member by member, so that members added later keep
// their defaults.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "report/report_context.h"

namespace tarvel::test {

// What a text or Markdown report shows beyond the model; `with_model` gives it its model.
inline report_context extras(const usage_diff* diff = nullptr,
                             const std::vector<budget_result>* budgets = nullptr,
                             std::size_t top = 10) {
    report_context result;
    result.diff = diff;
    result.budgets = budgets;
    result.top = top;
    return result;
}

// `context` drawn from `model`.
inline report_context with_model(report_context context, const usage_model& model) {
    context.model = &model;
    return context;
}

// The context of a JSON report or a page written by tarvel-report `version`.
inline report_context json_context(const usage_model& model, std::string_view version,
                                   const usage_diff* diff = nullptr,
                                   const std::vector<budget_result>* budgets = nullptr) {
    report_context result;
    result.model = &model;
    result.version = version;
    result.diff = diff;
    result.budgets = budgets;
    return result;
}

// The context of a page that embeds `json`, the JSON report of `model`.
inline report_context page_context(const usage_model& model, std::string_view json,
                                   std::string_view run_date, std::string_view version,
                                   group_by grouping = group_by::section) {
    report_context result;
    result.model = &model;
    result.report_json = json;
    result.run_date = run_date;
    result.version = version;
    result.grouping = grouping;
    return result;
}

}  // namespace tarvel::test
