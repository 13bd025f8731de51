// Fuzz target: the --max / --max-growth option text. Bit 0 of the first byte chooses the kind,
// the other bits one of the targets of a fixed model; the rest is the option's text. The text
// must give a budget or a reason; a budget must hold a sane limit, read back the same from the
// text it keeps, and be held against the model (and a diff against a larger base) with its
// own target or, retargeted, with one that the model has.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/budget.h"
#include "analysis/usage_analysis.h"
#include "analysis/usage_snapshot.h"
#include "fuzz_files.h"

namespace {
using namespace tarvel;

const char* const definition_text =
    "PROGRAM 0 10000\n"
    "MEMORY 3FF8000 8000\n"
    "SEARCH text\n"
    "SEARCH |data |bss\n";

const char* const map_text =
    "Linker map\n\n  Section Size Address\n\n"
    "  1    .text   00000400  00000000  PROGBITS\n       flags: AX\n"
    "  2    .rodata 00000100  00000400  PROGBITS\n       flags: A\n"
    "  3    .data   00000100  03ff8000  PROGBITS\n       flags: WA\n"
    "  4    .bss    00000200  03ff9000  NOBITS\n       flags: WA\n";

// The names the model answers to, as a user would write them.
const char* const known_targets[] = {"RAM",  "ROM",         "Prg seg0", "Ram seg0",
                                     "text", "|data |bss ", " ROM "};

struct fixed_run {
    usage_model model;
    usage_snapshot base;
    usage_snapshot current;
    usage_diff diff;  // refers to the names of both snapshots
};

// The model of the map, and its diff against a base three times its size.
const fixed_run& run() {
    static fixed_run state;
    static const bool ready = [] {
        const analysis_request request{"Puma", fuzz::scratch().write("budget.def", definition_text),
                                       fuzz::scratch().write("budget.map", map_text), false};
        if (analyze_usage(request, state.model) != analysis_status::ok) {
            std::abort();
        }
        state.current = snapshot_of(state.model);
        state.base = state.current;
        state.base.ram_used *= 3;
        state.base.rom_used *= 3;
        for (snapshot_figure& figure : state.base.areas) {
            figure.bytes *= 3;
        }
        state.diff = diff_usage(state.base, state.current);
        return true;
    }();
    (void)ready;
    return state;
}

void check_results(const budget& rule, const std::vector<budget_result>& results) {
    if (results.size() != 1) {
        std::abort();
    }
    const budget_result& result = results.front();
    if (result.limit_bytes < 0 || result.exceeded != (result.figure > result.limit_bytes)) {
        std::abort();
    }
    if (rule.limit.kind == budget_limit::unit::bytes &&
        static_cast<double>(result.limit_bytes) != rule.limit.value) {
        std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const budget_kind kind = (data[0] & 1) != 0 ? budget_kind::max_growth : budget_kind::max;
    const char* const retarget = known_targets[(data[0] >> 1) % std::size(known_targets)];
    const std::string_view text = fuzz::as_text(data + 1, size - 1);

    const c_result<budget, std::string> parsed = parse_budget(text, kind);
    if (!parsed && parsed.error().empty()) {
        std::abort();  // a refusal always gives its reason
    }
    if (!parsed) {
        return 0;
    }
    const budget& rule = *parsed;
    const double value = rule.limit.value;
    if (rule.kind != kind || rule.target.empty() || !std::isfinite(value) || value < 0) {
        std::abort();
    }
    // Bytes are whole and at most what the parser takes; a --max percentage is of the total.
    if (rule.limit.kind == budget_limit::unit::bytes &&
        (value != std::floor(value) || value > 1e15)) {
        std::abort();
    }
    if (rule.limit.kind == budget_limit::unit::percent && kind == budget_kind::max && value > 100) {
        std::abort();
    }
    // The target and the limit as kept read back as the same budget.
    const c_result<budget, std::string> again =
        parse_budget(rule.target + "=" + rule.limit_text, kind);
    if (!again || again->target != rule.target || again->limit_text != rule.limit_text ||
        again->limit.kind != rule.limit.kind || again->limit.value != value) {
        std::abort();
    }

    const fixed_run& fixed = run();
    if (const auto results = evaluate_budgets({rule}, fixed.model, &fixed.diff)) {
        check_results(rule, *results);
    } else if (results.error().rule.target != rule.target) {
        std::abort();  // the problem names the budget at fault
    }
    budget retargeted = rule;
    retargeted.target = retarget;
    // Only a growth percentage whose bytes would not fit a figure may fail once the target
    // exists; it must say so.
    const auto results = evaluate_budgets({retargeted}, fixed.model, &fixed.diff);
    if (!results) {
        if (results.error().why != budget_problem::reason::limit_too_large) {
            std::abort();
        }
        return 0;
    }
    check_results(retargeted, *results);
    return 0;
}
