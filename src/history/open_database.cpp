#include "history/open_database.h"

#include "history/postgres_database.h"
#include "history/sqlite_database.h"

namespace tarvel {

bool is_server_address(const std::string& db) {
    return db.starts_with("postgresql://") || db.starts_with("postgres://");
}

db_result<std::unique_ptr<c_database>> open_database(const std::string& db, bool create) {
    if (is_server_address(db)) {
        return c_postgres_database::open(db);
    }
    return c_sqlite_database::open(db, create);
}

std::string database_display_name(const std::string& db) {
    return is_server_address(db) ? without_password(db) : db;
}

}  // namespace tarvel
