// tarvel-history compare: two stored builds through the diff, the budgets and the renderers of
// tarvel-report --diff, so that both programs say the same of the same two reports.
#include <ostream>

#include "analysis/base_report.h"
#include "analysis/report_model.h"
#include "analysis/usage_diff.h"
#include "app/budget_check.h"
#include "app/history_errors.h"
#include "app/history_run.h"
#include "report/report_context.h"
#include "report/report_formats.h"
#include "version_info.h"

namespace tarvel {

namespace {
// The stored report of a build, with the message on `err` when it cannot be had.
std::optional<std::string> stored_report_of(c_history_store& store, const std::string& target,
                                            const std::string& commit, std::ostream& err) {
    db_result<std::string> report = store.report(target, commit);
    if (!report) {
        print_database_failure(err, store.database().display_name(), report.error());
        return std::nullopt;
    }
    return std::move(report).value();
}
}  // namespace

int history_compare(c_history_store& store, const history_options& options, std::ostream& out,
                    std::ostream& err) {
    int status = history_success;
    const std::optional<std::string> base_commit =
        find_build(store, options.target, options.base, err, status);
    if (!base_commit) {
        return status;
    }
    const std::optional<std::string> head_commit =
        find_build(store, options.target, options.head, err, status);
    if (!head_commit) {
        return status;
    }
    const std::optional<std::string> base_text =
        stored_report_of(store, options.target, *base_commit, err);
    const std::optional<std::string> head_text =
        base_text ? stored_report_of(store, options.target, *head_commit, err) : std::nullopt;
    if (!head_text) {
        return history_input_error;
    }
    c_result<usage_snapshot> base = read_base_report(*base_text);
    if (!base) {
        return print_stored_report_failure(err, *base_commit, base.error());
    }
    const c_result<std::unique_ptr<report_model>> rebuilt = model_from_report(*head_text);
    if (!rebuilt) {
        return print_stored_report_failure(err, *head_commit, rebuilt.error());
    }
    const std::unique_ptr<report_model>& head = *rebuilt;
    usage_snapshot current = snapshot_of(head->model);
    // A pruned build keeps no entries: compared with a whole one, every entry would look
    // added or removed.
    const bool base_kept = entries_kept(store, options.target, *base_commit);
    const bool head_kept = entries_kept(store, options.target, *head_commit);
    if (!base_kept || !head_kept) {
        err << history_program << "the entry list of " << (!base_kept ? *base_commit : *head_commit)
            << " was pruned: the entries are not compared\n";
        base->entries.clear();
        current.entries.clear();
    }
    usage_diff diff = diff_usage(*base, current);
    diff.base = *base_commit;

    std::vector<budget_result> budgets;
    if (!check_budget_options(options.max, options.max_growth, head->model, &diff, budgets, err,
                              history_program)) {
        return history_usage_error;
    }
    report_context context;
    context.model = &head->model;
    context.diff = &diff;
    context.budgets = &budgets;
    context.top = options.top;
    context.version = TARVEL_PRODUCT_VERSION;
    // The command line allows text, json and markdown; text when none is given.
    const report_format_row* format = find_report_format(options.format);
    (format != nullptr ? *format : report_format_of(report_format::text)).render(out, context);
    out.flush();
    if (!out) {
        err << history_program << "cannot write to standard output\n";
        return history_input_error;
    }
    return name_exceeded_budgets(budgets, err, history_program) ? history_budget_exceeded
                                                                : history_success;
}

}  // namespace tarvel
