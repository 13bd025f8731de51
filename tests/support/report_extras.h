// The extras of a report for the renderer tests, member by member, so that members added
// later keep their defaults.
#pragma once

#include <cstddef>
#include <vector>

#include "report/report_sections.h"

namespace tarvel::test {

inline report_extras extras(const usage_diff* diff = nullptr,
                            const std::vector<budget_result>* budgets = nullptr,
                            std::size_t top = 10) {
    report_extras result;
    result.diff = diff;
    result.budgets = budgets;
    result.top = top;
    return result;
}

}  // namespace tarvel::test
