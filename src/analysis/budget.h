// Budgets that fail a build: a limit on the used bytes of RAM, ROM, an area or a search, or on
// their growth against an earlier build.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/usage_diff.h"
#include "analysis/usage_model.h"
#include "text/input_result.h"

namespace tarvel {

enum class budget_kind { max, max_growth };

struct budget_limit {
    enum class unit { bytes, percent };
    unit kind = unit::bytes;
    double value = 0;  // bytes (whole), or percent
};

struct budget {
    budget_kind kind = budget_kind::max;
    std::string target;      // as given
    std::string limit_text;  // as given
    budget_limit limit;
};

// Reads "TARGET=LIMIT". The limit is a whole number of bytes, optionally with a unit (B, KiB,
// MiB, GiB, or the decimal kB, MB, GB; "1.5MiB" is allowed and rounds down to whole bytes), or
// a percentage ("90%", "12.5%"). The target is everything before the last "=". The reason, in
// words that follow the option's name ("'ROM20000' is not TARGET=LIMIT"), when the text is no
// budget.
c_result<budget, std::string> parse_budget(std::string_view text, budget_kind kind);

// A budget held against a run's figures.
struct budget_result {
    budget rule;
    std::int64_t limit_bytes = 0;
    std::int64_t figure = 0;  // used bytes, or their growth
    bool exceeded = false;
};

// The figure a target names, found by name: "RAM", "ROM", an area's name or a search's text
// (the search's text matches with or without its closing blank, and any target matches
// without regard to surrounding blanks).
struct budget_figure {
    std::int64_t used = 0;
    std::int64_t total = 0;  // what a percentage of --max refers to
};
std::optional<budget_figure> find_budget_figure(const usage_model& model, std::string_view target);

// Why a budget cannot be held against a run's figures; the programs word it.
struct budget_problem {
    enum class reason {
        unknown_target,   // the target names nothing of the model
        limit_too_large,  // a percentage whose bytes would not fit a figure
    };
    reason why = reason::unknown_target;
    budget rule;  // the budget at fault
};

// Checks every budget, giving a result each in their order. Growth budgets need the diff; their
// percentages refer to the base value.
c_result<std::vector<budget_result>, budget_problem> evaluate_budgets(
    const std::vector<budget>& budgets, const usage_model& model, const usage_diff* diff);

}  // namespace tarvel
