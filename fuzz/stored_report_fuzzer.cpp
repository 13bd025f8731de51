// Fuzz target: what tarvel-history add and compare make of a report: taken apart into summary
// and entry list and joined again (which must give the input back), and the usage model
// rebuilt from it, rendered as compare renders it. The seeds are those of the base-report
// reader, real reports of the examples.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "analysis/report_model.h"
#include "analysis/usage_diff.h"
#include "history/stored_report.h"
#include "report/json_report.h"
#include "report/markdown_report.h"
#include "report/text_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const c_result<stored_report> stored = store_report(text)) {
        if (join_report(stored->summary, stored->entries_at, stored->entries) != text) {
            std::abort();
        }
    }
    const c_result<std::unique_ptr<report_model>> result = model_from_report(text);
    if (!result) {
        return 0;
    }
    const std::unique_ptr<report_model>& rebuilt = *result;
    const usage_snapshot snapshot = snapshot_of(rebuilt->model);
    const usage_diff diff = diff_usage(snapshot, snapshot);
    if (!diff.entries.empty()) {
        std::abort();  // a build compared with itself changes nothing
    }
    const std::vector<budget_result> budgets;
    report_context context;
    context.model = &rebuilt->model;
    context.diff = &diff;
    context.budgets = &budgets;
    context.version = "0";
    std::ostringstream out;
    render_text_report(out, context);
    render_markdown_report(out, context);
    render_json_report(out, context);
    return 0;
}
