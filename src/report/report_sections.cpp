#include "report/report_sections.h"

#include "text/fixed_text.h"

namespace tarvel {

const char* breakdown_title(breakdown_kind kind) {
    return kind == breakdown_kind::object ? "object file" : "archive";
}

std::string signed_text(std::int64_t value) {
    std::string text = value > 0 ? "+" : "";
    return text.append(std::to_string(value));
}

std::string change_percent_text(const figure_change& change) {
    const std::optional<double> percent = change.change_percent();
    if (!percent) {
        return change.after == 0 ? "" : "new";
    }
    const std::string number = fixed_text(*percent, 1);
    std::string text = number.front() == '-' ? "" : "+";
    return text.append(number).append("%");
}

std::string budget_text(const budget_result& result) {
    const char* relation = result.rule.kind == budget_kind::max ? " <= " : " growth <= ";
    std::string text = result.rule.target;
    text.append(relation).append(result.rule.limit_text);
    if (result.rule.limit.kind == budget_limit::unit::percent ||
        result.rule.limit_text != std::to_string(result.limit_bytes)) {
        text.append(" (").append(std::to_string(result.limit_bytes)).append(" bytes)");
    }
    return text;
}

}  // namespace tarvel
