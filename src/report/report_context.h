// What every renderer draws from: the usage model and what the run adds to it (the diff, the
// budgets, the breakdown, the facts of the run). One struct for all formats, so that a renderer
// takes what it needs and a new one needs no new call.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/budget.h"
#include "analysis/origin_breakdown.h"
#include "analysis/usage_diff.h"
#include "analysis/usage_model.h"

namespace tarvel {

// How program memory and RAM are broken down (--by): by the searches of the memory
// definition, by object file or by archive.
enum class group_by { section, object, archive };

// "section", "object", "archive": the command line's words.
const char* group_by_name(group_by grouping);
// The grouping a command line names; none for any other text.
std::optional<group_by> parse_group_by(std::string_view text);
// The breakdown a grouping asks for; none for `section`, which the searches already show.
std::optional<breakdown_kind> breakdown_kind_of(group_by grouping);

struct report_context {
    const usage_model* model = nullptr;
    const usage_diff* diff = nullptr;                     // with a base to compare with
    const std::vector<budget_result>* budgets = nullptr;  // shown when there are any
    std::size_t top = 10;  // entries listed per area, entry changes and breakdown rows
    group_by grouping = group_by::section;
    // With `grouping` object or archive: the program memory and RAM by that kind; text and
    // Markdown show it, JSON takes it instead of counting that kind again.
    const std::vector<breakdown_row>* breakdown = nullptr;

    // The run's facts.
    std::string_view program = "tarvel-report";   // the program that writes the report
    std::string_view version;                     // its version
    std::string_view run_date;                    // the page's header: "2026-12-08 04:15 UTC"
    const std::string* ambiguity_file = nullptr;  // where the ambiguity records went, or null
    // The JSON report of this context, when the caller made it already: the HTML page embeds
    // it. Empty: the page makes it itself.
    std::string_view report_json;
};

}  // namespace tarvel
