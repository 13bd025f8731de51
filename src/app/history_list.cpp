#include <ostream>

#include "app/history_errors.h"
#include "app/history_run.h"
#include "history/open_database.h"
#include "report/build_list_report.h"

namespace tarvel {

int history_list(c_history_store& store, const history_options& options, std::ostream& out,
                 std::ostream& err) {
    const db_result<std::vector<build_row>> builds =
        store.list({options.target, options.branch, options.last});
    if (!builds) {
        return print_database_failure(err, store.database().display_name(), builds.error());
    }
    if (options.format == "json") {
        render_build_list_json(out, *builds);
    } else if (options.format == "csv") {
        render_build_list_csv(out, *builds);
    } else {
        render_build_list_text(out, *builds);
    }
    return history_success;
}

}  // namespace tarvel
