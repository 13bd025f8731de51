// The budgets of a command line held against a build's figures, and the lines that name the
// exceeded ones: the same for tarvel-report and tarvel-history's compare.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/budget.h"

namespace tarvel {

// Reads every --max and --max-growth text and checks them against the model and the diff.
// False, with the message (begun with `program`) on `err`, when one is malformed or names
// nothing of the model.
bool check_budget_options(const std::vector<std::string>& max,
                          const std::vector<std::string>& max_growth, const usage_model& model,
                          const usage_diff* diff, std::vector<budget_result>& results,
                          std::ostream& err, std::string_view program);

// What is wrong with a budget, in the words of the command line ("--max-growth: the limit of
// 'RAM=1000%' is too large").
std::string budget_problem_message(const budget_problem& problem, const usage_model& model);

// A line on `err` for every exceeded budget; true when any was.
bool name_exceeded_budgets(const std::vector<budget_result>& results, std::ostream& err,
                           std::string_view program);

}  // namespace tarvel
