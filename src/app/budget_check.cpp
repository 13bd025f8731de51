#include "app/budget_check.h"

#include <ostream>

#include "report/report_sections.h"

namespace tarvel {

bool check_budget_options(const std::vector<std::string>& max,
                          const std::vector<std::string>& max_growth, const usage_model& model,
                          const usage_diff* diff, std::vector<budget_result>& results,
                          std::ostream& err, std::string_view program) {
    std::vector<budget> budgets;
    for (const auto& [texts, kind] :
         {std::pair{&max, budget_kind::max}, std::pair{&max_growth, budget_kind::max_growth}}) {
        for (const std::string& text : *texts) {
            std::string error;
            std::optional<budget> parsed = parse_budget(text, kind, error);
            if (!parsed) {
                err << program << "--" << (kind == budget_kind::max ? "max" : "max-growth") << ": "
                    << error << "\n";
                return false;
            }
            budgets.push_back(std::move(*parsed));
        }
    }
    std::string error;
    if (!evaluate_budgets(budgets, model, diff, results, error)) {
        err << program << error << "\n";
        return false;
    }
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
