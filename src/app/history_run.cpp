#include "app/history_run.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "app/history_errors.h"
#include "history/open_database.h"
#include "platform/platform.h"

namespace tarvel {

namespace {
constexpr const char* program = history_program;
}  // namespace

std::optional<std::string> find_build(c_history_store& store, const std::string& target,
                                      const std::string& text, std::ostream& err, int& status) {
    const db_result<std::vector<build_ref>> refs = store.refs(target);
    if (!refs) {
        status = print_database_failure(err, store.database().display_name(), refs.error());
        return std::nullopt;
    }
    if (refs->empty()) {
        err << program << "no build of the target '" << target << "' is stored\n";
        status = history_not_found;
        return std::nullopt;
    }
    const ref_result found = resolve_commit(text, *refs);
    switch (found.status) {
        case ref_status::found:
            return (*refs)[found.position].commit;
        case ref_status::ambiguous:
        case ref_status::malformed:
            status = history_usage_error;
            break;
        case ref_status::not_found:
            status = history_not_found;
            break;
    }
    err << program << target << ": " << found.message << "\n";
    return std::nullopt;
}

bool entries_kept(c_history_store& store, const std::string& target, const std::string& commit) {
    const db_result<bool> kept = store.has_entries(target, commit);
    return kept && *kept;
}

int history_add(const history_options& options, std::ostream& err) {
    if (!platform::path_exists(options.report) || platform::is_directory(options.report)) {
        err << program << "cannot read the report '" << options.report << "': "
            << (platform::path_exists(options.report) ? "it is a directory" : "no such file")
            << "\n";
        return history_input_error;
    }
    std::ifstream file(options.report, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    if (!file.is_open() || file.bad()) {
        err << program << "cannot read the report '" << options.report << "'\n";
        return history_input_error;
    }
    record_request request = options.build;
    request.db = options.db;
    return record_build(request, std::move(content).str(), "the report '" + options.report + "'",
                        err, program);
}

int history_show(c_history_store& store, const history_options& options, std::ostream& out,
                 std::ostream& err) {
    int status = history_success;
    const std::optional<std::string> commit =
        find_build(store, options.target, options.commit, err, status);
    if (!commit) {
        return status;
    }
    const db_result<std::string> report = store.report(options.target, *commit);
    if (!report) {
        return print_database_failure(err, database_display_name(options.db), report.error());
    }
    out << *report;
    return history_success;
}

int history_prune(c_history_store& store, const history_options& options, std::ostream& out,
                  std::ostream& err) {
    const db_result<std::int64_t> dropped = store.prune(options.keep_entries);
    if (!dropped) {
        return print_database_failure(err, database_display_name(options.db), dropped.error());
    }
    out << "Dropped the entry lists of " << *dropped << (*dropped == 1 ? " build" : " builds")
        << "; every build's summary is kept.\n";
    return history_success;
}

int run_history(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    history_options options;
    switch (parse_history_options(argc, argv, options, out, err)) {
        case options_status::done:
            return history_success;
        case options_status::error:
            return history_usage_error;
        case options_status::run:
            break;
    }
    if (options.command == history_command::add) {
        return history_add(options, err);
    }
    // Only add makes a new SQLite file; every other command reads one that exists.
    const std::unique_ptr<c_history_store> store = open_history(options.db, false, err, program);
    if (!store) {
        return history_input_error;
    }
    int status = history_success;
    switch (options.command) {
        case history_command::list:
            status = history_list(*store, options, out, err);
            break;
        case history_command::show:
            status = history_show(*store, options, out, err);
            break;
        case history_command::compare:
            status = history_compare(*store, options, out, err);
            break;
        case history_command::trend:
            status = history_trend(*store, options, out, err);
            break;
        case history_command::blame:
            status = history_blame(*store, options, out, err);
            break;
        case history_command::prune:
            status = history_prune(*store, options, out, err);
            break;
        case history_command::add:
            break;
    }
    out.flush();
    if (status != history_input_error && !out) {
        err << program << "cannot write to standard output\n";
        return history_input_error;
    }
    return status;
}

}  // namespace tarvel
