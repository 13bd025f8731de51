// What tarvel-report adds to the memory report: the change against a base report and the
// budgets, as the text and Markdown renderers share them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/budget.h"
#include "analysis/origin_breakdown.h"
#include "analysis/usage_diff.h"

namespace tarvel {

// What a report shows beyond the model: the diff against a base and the budgets checked.
struct report_extras {
    const usage_diff* diff = nullptr;
    const std::vector<budget_result>* budgets = nullptr;
    std::size_t top = 10;  // entries listed per area, entry changes and breakdown rows
    // With --by object or archive: the program memory and RAM by object file or archive.
    const std::vector<breakdown_row>* breakdown = nullptr;
    breakdown_kind breakdown_by = breakdown_kind::object;
};

// "object file" or "archive".
const char* breakdown_title(breakdown_kind kind);

// "+108", "-5", "0".
std::string signed_text(std::int64_t value);
// "+0.5%", or "new" when the figure was 0 before.
std::string change_percent_text(const figure_change& change);
// How a budget reads: "ROM <= 480KiB (491520 bytes)".
std::string budget_text(const budget_result& result);

}  // namespace tarvel
