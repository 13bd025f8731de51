// The texts of the diff, budget and breakdown sections that the text and Markdown renderers
// share.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/budget.h"
#include "analysis/origin_breakdown.h"
#include "analysis/usage_diff.h"

namespace tarvel {

// "object file" or "archive".
const char* breakdown_title(breakdown_kind kind);

// "+108", "-5", "0".
std::string signed_text(std::int64_t value);
// "+0.5%", or "new" when the figure was 0 before.
std::string change_percent_text(const figure_change& change);
// How a budget reads: "ROM <= 480KiB (491520 bytes)".
std::string budget_text(const budget_result& result);

}  // namespace tarvel
