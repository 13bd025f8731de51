// tarvel-history trend and blame: an area's figures over the builds, and the builds that made
// it grow most.
#include <algorithm>
#include <deque>
#include <iomanip>
#include <ostream>

#include "analysis/base_report.h"
#include "analysis/usage_diff.h"
#include "app/history_errors.h"
#include "app/history_run.h"
#include "app/output_file.h"
#include "report/report_sections.h"
#include "report/trend_html.h"
#include "report/trend_report.h"

namespace tarvel {

namespace {
// Entry changes listed under each blamed build.
constexpr std::size_t entries_per_step = 5;

// The entries of the area that changed most between the parent's build and the build's; none
// when either entry list was pruned, or cannot be read: the step is shown without them.
std::optional<std::vector<entry_change>> entry_changes(c_history_store& store,
                                                       const std::string& target,
                                                       const blame_step& step,
                                                       const std::string& area,
                                                       std::deque<std::string>& names) {
    if (!entries_kept(store, target, step.commit) || !entries_kept(store, target, step.parent)) {
        return std::nullopt;
    }
    const db_result<std::string> before_text = store.report(target, step.parent);
    const db_result<std::string> after_text = store.report(target, step.commit);
    if (!before_text || !after_text) {
        return std::nullopt;
    }
    const c_result<usage_snapshot> before = read_base_report(*before_text);
    const c_result<usage_snapshot> after = read_base_report(*after_text);
    if (!before || !after) {
        return std::nullopt;
    }
    const usage_diff diff = diff_usage(*before, *after);
    std::vector<entry_change> changes;
    for (const entry_change& change : diff.entries) {
        if (change.area == area && changes.size() < entries_per_step) {
            // The diff points into the snapshots, which end here: the names are kept apart.
            entry_change kept = change;
            kept.area = {};
            kept.name = names.emplace_back(change.name);
            changes.push_back(kept);
        }
    }
    return changes;
}
}  // namespace

int history_trend(c_history_store& store, const history_options& options, std::ostream& out,
                  std::ostream& err) {
    const db_result<trend_data> trend = store.trend(options.target, options.branch, options.areas);
    if (!trend) {
        return print_database_failure(err, store.database().display_name(), trend.error());
    }
    const trend_data& data = *trend;
    if (data.builds.empty()) {
        err << history_program << "no build of the target '" << options.target << "'"
            << (options.branch.empty() ? "" : " on the branch '" + options.branch + "'")
            << " is stored\n";
        return history_not_found;
    }
    for (const trend_area& area : data.areas) {
        if (std::none_of(area.used.begin(), area.used.end(),
                         [](const auto& used) { return used.has_value(); })) {
            err << history_program << "no build of the target '" << options.target
                << "' has an area '" << area.name << "'\n";
            return history_not_found;
        }
    }
    // The page is written first: when it cannot be, the run fails before printing anything.
    if (!options.html.empty()) {
        c_output_file page(options.html);
        if (page.opened()) {
            page.stream() << render_trend_html(data);
        }
        if (const output_result written = page.commit(); !written) {
            err << history_program << "cannot write the trend page '" << options.html
                << "': " << written.error() << "\n";
            return history_input_error;
        }
    }
    if (options.format == "json") {
        render_trend_json(out, data);
    } else {
        render_trend_csv(out, data);
    }
    return history_success;
}

int history_blame(c_history_store& store, const history_options& options, std::ostream& out,
                  std::ostream& err) {
    const std::string& area = options.areas.front();
    const db_result<std::vector<blame_step>> found = store.steps(options.target, area);
    if (!found) {
        return print_database_failure(err, store.database().display_name(), found.error());
    }
    const std::vector<blame_step>& steps = *found;
    if (steps.empty()) {
        err << history_program << "no build of the target '" << options.target
            << "' with a stored parent has an area '" << area << "'\n";
        return history_not_found;
    }
    const std::size_t shown = std::min(options.top, steps.size());
    out << "Largest steps of " << area << " in " << options.target << " (" << shown << " of "
        << steps.size() << "):\n";
    for (std::size_t i = 0; i < shown; ++i) {
        const blame_step& step = steps[i];
        out << "\n"
            << std::setw(10) << signed_text(step.change()) << "  " << step.commit << "  parent "
            << step.parent << "  (" << step.before << " -> " << step.after << ")\n";
        std::deque<std::string> names;
        const std::optional<std::vector<entry_change>> changes =
            entry_changes(store, options.target, step, area, names);
        if (!changes) {
            out << "            entries not kept (pruned)\n";
            continue;
        }
        if (changes->empty()) {
            out << "            no entry of " << area << " changed\n";
        }
        for (const entry_change& change : *changes) {
            out << "            " << std::setw(10) << signed_text(change.change()) << "  "
                << entry_status_name(change.status) << "  " << change.name << "\n";
        }
    }
    return history_success;
}

}  // namespace tarvel
