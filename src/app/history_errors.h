// The messages of `tarvel-history` for a database that cannot be read and a stored report that
// cannot be understood, with the exit code each ends the run with.
#pragma once

#include <iosfwd>
#include <string>

#include "history/database.h"
#include "text/input_result.h"

namespace tarvel {

// "cannot read the history database 'NAME': ERROR" on `err`; gives the exit code.
int print_database_failure(std::ostream& err, const std::string& database, const db_error& error);

// "the stored report of COMMIT" and what is wrong with it, on `err`; gives the exit code.
int print_stored_report_failure(std::ostream& err, const std::string& commit,
                                const input_error& error);

}  // namespace tarvel
