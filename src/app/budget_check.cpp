#include "app/budget_check.h"

#include <ostream>

#include "report/report_sections.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
// The option that gives budgets of the kind.
const char* option_of(budget_kind kind) {
    return kind == budget_kind::max ? "--max" : "--max-growth";
}

std::string known_targets(const usage_model& model) {
    std::string text = "RAM, ROM";
    for (const area_usage& area : model.areas) {
        text += ", " + area.name;
    }
    for (const search_usage& search : model.searches) {
        text.append(", '").append(trimmed(search.text)).append("'");
    }
    return text;
}
}  // namespace

std::string budget_problem_message(const budget_problem& problem, const usage_model& model) {
    const budget& rule = problem.rule;
    switch (problem.why) {
        case budget_problem::reason::unknown_target:
            break;
        case budget_problem::reason::limit_too_large:
            return std::string(option_of(rule.kind))
                .append(": the limit of '")
                .append(rule.target)
                .append("=")
                .append(rule.limit_text)
                .append("' is too large");
    }
    return std::string("the budget target '")
        .append(rule.target)
        .append("' names nothing of this report (")
        .append(known_targets(model))
        .append(")");
}

bool check_budget_options(const std::vector<std::string>& max,
                          const std::vector<std::string>& max_growth, const usage_model& model,
                          const usage_diff* diff, std::vector<budget_result>& results,
                          std::ostream& err, std::string_view program) {
    std::vector<budget> budgets;
    for (const auto& [texts, kind] :
         {std::pair{&max, budget_kind::max}, std::pair{&max_growth, budget_kind::max_growth}}) {
        for (const std::string& text : *texts) {
            c_result<budget, std::string> parsed = parse_budget(text, kind);
            if (!parsed) {
                err << program << option_of(kind) << ": " << parsed.error() << "\n";
                return false;
            }
            budgets.push_back(std::move(parsed).value());
        }
    }
    c_result<std::vector<budget_result>, budget_problem> evaluated =
        evaluate_budgets(budgets, model, diff);
    if (!evaluated) {
        err << program << budget_problem_message(evaluated.error(), model) << "\n";
        return false;
    }
    results = std::move(evaluated).value();
    return true;
}

bool name_exceeded_budgets(const std::vector<budget_result>& results, std::ostream& err,
                           std::string_view program) {
    bool exceeded = false;
    for (const budget_result& result : results) {
        if (result.exceeded) {
            err << program << "budget exceeded: " << budget_text(result) << ", but "
                << (result.rule.kind == budget_kind::max ? "used " : "grew by ") << result.figure
                << " bytes\n";
            exceeded = true;
        }
    }
    return exceeded;
}

}  // namespace tarvel
