#include "analysis/budget.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string>

#include "text/fixed_text.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
struct unit_factor {
    std::string_view suffix;
    double factor;
};

// Longest suffixes first, so that "KiB" is not read as "B".
constexpr std::array<unit_factor, 7> units{{{"KiB", 1024.0},
                                            {"MiB", 1024.0 * 1024},
                                            {"GiB", 1024.0 * 1024 * 1024},
                                            {"kB", 1000.0},
                                            {"MB", 1000.0 * 1000},
                                            {"GB", 1000.0 * 1000 * 1000},
                                            {"B", 1.0}}};

// A plain decimal number: digits with at most one decimal point, nothing else.
std::optional<double> decimal_number(std::string_view text) {
    if (text.empty() || text.front() == '.' || text.back() == '.') {
        return std::nullopt;
    }
    bool point = false;
    for (const char c : text) {
        if (c == '.') {
            if (point) {
                return std::nullopt;
            }
            point = true;
        } else if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The pieces of a message, joined. (Chains of std::string operator+ on literals make GCC 12 warn
// falsely about overlapping copies.)
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

// Budgets beyond 2^32 bytes cannot be exceeded by 32-bit figures, but they are no error.
constexpr double max_bytes = 1e15;
}  // namespace

c_result<budget, std::string> parse_budget(std::string_view text, budget_kind kind) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string_view::npos) {
        return joined({"'", text, "' is not TARGET=LIMIT"});
    }
    budget result;
    result.kind = kind;
    result.target = std::string(trimmed(text.substr(0, equals)));
    result.limit_text = std::string(trimmed(text.substr(equals + 1)));
    if (result.target.empty()) {
        return joined({"'", text, "' names no target before '='"});
    }
    std::string_view limit = result.limit_text;
    if (limit.starts_with("-")) {
        return joined({"the limit of '", text, "' is negative"});
    }
    if (limit.ends_with("%")) {
        const std::optional<double> percent =
            decimal_number(trimmed(limit.substr(0, limit.size() - 1)));
        if (!percent) {
            return joined({"the limit of '", text, "' is no percentage"});
        }
        if (kind == budget_kind::max && *percent > 100) {
            return joined({"the limit of '", text, "' is more than 100% of the target's total"});
        }
        result.limit = {budget_limit::unit::percent, *percent};
        return result;
    }
    double factor = 1;
    for (const unit_factor& unit : units) {
        if (limit.ends_with(unit.suffix)) {
            factor = unit.factor;
            limit = trimmed(limit.substr(0, limit.size() - unit.suffix.size()));
            break;
        }
    }
    const std::optional<double> number = decimal_number(limit);
    if (!number) {
        return joined(
            {"the limit of '", text,
             "' is no number of bytes (such as 20000, 480KiB, 1MiB) or percentage (90%)"});
    }
    const double bytes = std::floor(*number * factor);
    if (bytes > max_bytes) {
        return joined({"the limit of '", text, "' is too large"});
    }
    result.limit = {budget_limit::unit::bytes, bytes};
    return result;
}

std::optional<budget_figure> find_budget_figure(const usage_model& model, std::string_view target) {
    target = trimmed(target);
    // Rounded as the reports print it.
    const auto whole = [](double used) { return std::stoll(fixed_text(used, 0)); };
    if (target == "RAM") {
        return budget_figure{whole(model.ram.used()), model.ram.total};
    }
    if (target == "ROM") {
        return budget_figure{whole(model.rom.used()), model.rom.total};
    }
    for (const area_usage& area : model.areas) {
        if (trimmed(area.name) == target) {
            return budget_figure{area.used_rounded(), area.size};
        }
    }
    // A search's share is of the used ROM, as the breakdown prints it.
    for (const search_usage& search : model.searches) {
        if (trimmed(search.text) == target) {
            return budget_figure{search.bytes, model.rom.used_bytes};
        }
    }
    return std::nullopt;
}

namespace {
// The growth of a target between the base and this run.
std::optional<figure_change> find_change(const usage_diff& diff, std::string_view target) {
    target = trimmed(target);
    if (target == "RAM") {
        return diff.ram;
    }
    if (target == "ROM") {
        return diff.rom;
    }
    for (const auto* list : {&diff.areas, &diff.searches}) {
        for (const figure_change& change : *list) {
            if (trimmed(change.label) == target) {
                return change;
            }
        }
    }
    return std::nullopt;
}
}  // namespace

c_result<std::vector<budget_result>, budget_problem> evaluate_budgets(
    const std::vector<budget>& budgets, const usage_model& model, const usage_diff* diff) {
    std::vector<budget_result> results;
    for (const budget& rule : budgets) {
        budget_result result;
        result.rule = rule;
        const std::optional<budget_figure> figure = find_budget_figure(model, rule.target);
        if (!figure) {
            return budget_problem{budget_problem::reason::unknown_target, rule};
        }
        double base = static_cast<double>(figure->total);
        if (rule.kind == budget_kind::max) {
            result.figure = figure->used;
        } else {
            const std::optional<figure_change> change =
                diff != nullptr ? find_change(*diff, rule.target) : std::nullopt;
            // A target the base did not have grew from 0.
            result.figure = change ? change->change : figure->used;
            base = change ? static_cast<double>(change->before) : 0.0;
        }
        const double limit = rule.limit.kind == budget_limit::unit::percent
                                 ? std::floor(base * rule.limit.value / 100.0)
                                 : rule.limit.value;
        // A growth percentage has no bound of its own; its bytes must fit a figure, as a limit
        // in bytes must (converted beyond 2^63 they would wrap to a negative limit). A negative
        // base, which only a hand-made report has, is held to the same bound.
        if (std::fabs(limit) > max_bytes) {
            return budget_problem{budget_problem::reason::limit_too_large, rule};
        }
        result.limit_bytes = static_cast<std::int64_t>(limit);
        result.exceeded = result.figure > result.limit_bytes;
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace tarvel
