#include "app/history_record.h"

#include <ctime>
#include <ostream>
#include <regex>

#include "history/open_database.h"

namespace tarvel {

namespace {
std::string now_iso8601() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// Builds are ordered by their time as text: it must be a date, and a time of day if any.
bool is_iso8601(const std::string& text) {
    static const std::regex form(
        R"(\d{4}-\d{2}-\d{2}([T ]\d{2}:\d{2}(:\d{2}(\.\d+)?)?(Z|[+-]\d{2}(:?\d{2})?)?)?)");
    return std::regex_match(text, form);
}
}  // namespace

std::unique_ptr<c_history_store> open_history(const std::string& db, bool create, std::ostream& err,
                                              std::string_view program) {
    db_result<std::unique_ptr<c_database>> database = open_database(db, create);
    auto store =
        database ? std::make_unique<c_history_store>(std::move(database).value()) : nullptr;
    const db_result<> prepared = store ? store->prepare() : db_result<>(database.error());
    if (!prepared) {
        err << program << "cannot use the history database '" << database_display_name(db)
            << "': " << prepared.error().what << "\n";
        return nullptr;
    }
    return store;
}

std::optional<build_info> build_info_of(const record_request& request, std::ostream& err,
                                        std::string_view program) {
    build_info info{request.target,
                    request.commit,
                    request.parent,
                    request.branch,
                    request.time.empty() ? now_iso8601() : request.time,
                    {}};
    if (!is_iso8601(info.time)) {
        err << program << "--time: '" << info.time
            << "' is no ISO-8601 time (2026-12-08T14:30:00Z)\n";
        return std::nullopt;
    }
    for (const std::string& label : request.labels) {
        const std::size_t equals = label.find('=');
        if (equals == std::string::npos || equals == 0) {
            err << program << "--label: '" << label << "' is no KEY=VALUE\n";
            return std::nullopt;
        }
        info.labels.emplace_back(label.substr(0, equals), label.substr(equals + 1));
    }
    return info;
}

int record_build(const record_request& request, const std::string& report_text,
                 const std::string& report_name, std::ostream& err, std::string_view program) {
    const std::optional<build_info> info = build_info_of(request, err, program);
    if (!info) {
        return history_usage_error;
    }
    const c_result<stored_report> report = store_report(report_text);
    if (!report) {
        err << program << report_name << " " << report.error().what << "\n";
        return history_input_error;
    }
    const std::unique_ptr<c_history_store> store = open_history(request.db, true, err, program);
    if (!store) {
        return history_input_error;
    }
    const db_result<add_result> added = store->add(*info, *report, request.replace);
    if (!added) {
        err << program << "cannot store the build in the history database '"
            << database_display_name(request.db) << "': " << added.error().what << "\n";
        return history_input_error;
    }
    switch (*added) {
        case add_result::added:
        case add_result::replaced:
            break;
        case add_result::duplicate:
            err << program << "the history database '" << database_display_name(request.db)
                << "' holds a build of " << info->target << " at " << info->commit
                << " already (--replace replaces it)\n";
            return history_usage_error;
    }
    return history_success;
}

}  // namespace tarvel
