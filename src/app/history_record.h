// Stores a build's JSON report in a history database: `tarvel-history add` and
// `tarvel-report --record` are the same code.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/report_options.h"
#include "history/history_store.h"

namespace tarvel {

// Exit codes of tarvel-history.
enum history_exit : int {
    history_success = 0,
    history_budget_exceeded = 1,  // compare: a budget was exceeded
    history_usage_error = 2,  // a wrong command line, a build stored already, an ambiguous commit
    history_input_error = 3,  // the database or a report cannot be read, understood or written
    history_not_found = 4,    // the target or commit asked for is not stored
};

// Opens the database and brings its schema up to date. None, with the message on `err`, when
// it cannot be opened, or is of a newer schema, or no history database.
std::unique_ptr<c_history_store> open_history(const std::string& db, bool create, std::ostream& err,
                                              std::string_view program);

// The build's details from the command line: labels KEY=VALUE, the time ISO-8601 (now when
// not given). None, with the message on `err`, when one is malformed.
std::optional<build_info> build_info_of(const record_request& request, std::ostream& err,
                                        std::string_view program);

// Stores the report; gives the exit code. `report_name` names it in messages ("the report
// 'build.json'").
int record_build(const record_request& request, const std::string& report_text,
                 const std::string& report_name, std::ostream& err, std::string_view program);

}  // namespace tarvel
