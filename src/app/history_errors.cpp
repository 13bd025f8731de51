#include "app/history_errors.h"

#include <ostream>

#include "app/history_record.h"
#include "app/history_run.h"

namespace tarvel {

int print_database_failure(std::ostream& err, const std::string& database, const db_error& error) {
    err << history_program << "cannot read the history database '" << database
        << "': " << error.what << "\n";
    return history_input_error;
}

int print_stored_report_failure(std::ostream& err, const std::string& commit,
                                const input_error& error) {
    err << history_program << "the stored report of " << commit << " " << error.what << "\n";
    return history_input_error;
}

}  // namespace tarvel
