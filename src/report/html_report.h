// The usage model as one self-contained HTML page: bars per area, treemaps of program memory
// and RAM, and a sortable, filterable table of the entries, drawn in the browser from the JSON
// report embedded in the page.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "analysis/usage_model.h"

namespace tarvel {

// What the treemaps show between an area and its entries.
enum class treemap_grouping { search, object, archive };

// "search", "object", "archive".
const char* treemap_grouping_name(treemap_grouping grouping);
// The grouping a command line names; "section" is the command line's word for the searches'
// breakdown. None for any other text.
std::optional<treemap_grouping> parse_treemap_grouping(std::string_view text);

struct html_report_options {
    // The JSON report of the same model (what render_json_report wrote, with the diff and the
    // budgets when there are any). The page embeds it once and draws everything from it.
    std::string_view report_json;
    std::string run_date;  // shown as given, e.g. "2026-12-08 04:15"
    std::string version;   // of the program that writes the page
    treemap_grouping grouping = treemap_grouping::search;
};

// Writes the page to `out`. Besides the embedded report, the page holds a summary of the
// totals and areas written here from `model`, for viewers that run no scripts.
void render_html_report(std::ostream& out, const usage_model& model,
                        const html_report_options& options);

}  // namespace tarvel
