// Opens the history database that --db names: a PostgreSQL server for a postgresql:// or
// postgres:// connection string, else an SQLite file.
#pragma once

#include <memory>
#include <string>

#include "history/database.h"

namespace tarvel {

bool is_server_address(const std::string& db);

// `create`: an SQLite file that does not exist yet is made (a server's database must exist).
db_result<std::unique_ptr<c_database>> open_database(const std::string& db, bool create);

// The --db text as messages show it: a connection string without its password.
std::string database_display_name(const std::string& db);

}  // namespace tarvel
