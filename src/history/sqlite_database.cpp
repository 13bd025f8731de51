#include "history/sqlite_database.h"

#include <sqlite3.h>

#include <cctype>

namespace tarvel {

namespace {
// Many CI jobs write one file: a writer waits this long for another's transaction to end.
constexpr int busy_timeout_ms = 60000;

// The statements' parameters are $1, $2, ...; SQLite numbers them ?1, ?2, ...
std::string sqlite_text(std::string_view sql) {
    std::string text(sql);
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '$' && std::isdigit(static_cast<unsigned char>(text[i + 1])) != 0) {
            text[i] = '?';
        }
    }
    return text;
}

// Frees a prepared statement however the function that made it ends.
class c_statement {
  public:
    c_statement() = default;
    ~c_statement() { sqlite3_finalize(statement_); }
    c_statement(const c_statement&) = delete;
    c_statement& operator=(const c_statement&) = delete;
    sqlite3_stmt** out() { return &statement_; }
    sqlite3_stmt* get() const { return statement_; }

  private:
    sqlite3_stmt* statement_ = nullptr;
};
}  // namespace

db_result<std::unique_ptr<c_database>> c_sqlite_database::open(const std::string& path,
                                                               bool create) {
    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int status = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    if (status != SQLITE_OK) {
        sqlite3_close(handle);
        return db_error{status == SQLITE_CANTOPEN && !create ? "no such database file"
                                                             : sqlite3_errstr(status)};
    }
    std::unique_ptr<c_sqlite_database> database(new c_sqlite_database(handle, path));
    sqlite3_busy_timeout(handle, busy_timeout_ms);
    // Readers go on while a job writes, and a job killed in the middle of a transaction
    // leaves the file as it was before it; the first statement also shows a file that is no
    // database, or a damaged one.
    for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL"}) {
        if (const db_result<> ran = database->run(pragma, {}); !ran) {
            return ran.error();
        }
    }
    return std::unique_ptr<c_database>(std::move(database));
}

c_sqlite_database::~c_sqlite_database() {
    sqlite3_close(handle_);
}

db_result<> c_sqlite_database::run(std::string_view sql, const std::vector<sql_value>& parameters,
                                   std::vector<sql_row>* rows) {
    c_statement statement;
    const std::string text = sqlite_text(sql);
    if (sqlite3_prepare_v2(handle_, text.c_str(), static_cast<int>(text.size()), statement.out(),
                           nullptr) != SQLITE_OK) {
        return db_error{sqlite3_errmsg(handle_)};
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const int position = static_cast<int>(i + 1);
        int status = SQLITE_OK;
        if (const auto* number = std::get_if<std::int64_t>(&parameters[i])) {
            status = sqlite3_bind_int64(statement.get(), position, *number);
        } else if (const auto* value = std::get_if<std::string>(&parameters[i])) {
            status = sqlite3_bind_text64(statement.get(), position, value->data(), value->size(),
                                         SQLITE_STATIC, SQLITE_UTF8);
        } else {
            status = sqlite3_bind_null(statement.get(), position);
        }
        if (status != SQLITE_OK) {
            return db_error{sqlite3_errmsg(handle_)};
        }
    }
    for (;;) {
        const int status = sqlite3_step(statement.get());
        if (status == SQLITE_DONE) {
            return done{};
        }
        if (status != SQLITE_ROW) {
            return db_error{sqlite3_errmsg(handle_)};
        }
        if (rows == nullptr) {
            continue;
        }
        sql_row& row = rows->emplace_back();
        const int columns = sqlite3_column_count(statement.get());
        for (int column = 0; column < columns; ++column) {
            if (sqlite3_column_type(statement.get(), column) == SQLITE_NULL) {
                row.emplace_back();
                continue;
            }
            const auto* text_value =
                reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), column));
            row.emplace_back(std::string(text_value, static_cast<std::size_t>(sqlite3_column_bytes(
                                                         statement.get(), column))));
        }
    }
}

db_result<> c_sqlite_database::begin_write() {
    // IMMEDIATE takes the writer lock now, not at the first write.
    return run("BEGIN IMMEDIATE", {});
}

db_result<> c_sqlite_database::begin_read() {
    return run("BEGIN", {});
}

db_result<> c_sqlite_database::commit() {
    return run("COMMIT", {});
}

void c_sqlite_database::rollback() {
    if (sqlite3_get_autocommit(handle_) == 0) {
        (void)run("ROLLBACK", {});  // on the way out of a failure, whose error is the one told
    }
}

db_result<std::vector<std::string>> c_sqlite_database::table_names() {
    std::vector<sql_row> rows;
    if (const db_result<> ran =
            run("SELECT name FROM sqlite_master WHERE type = 'table'", {}, &rows);
        !ran) {
        return ran.error();
    }
    std::vector<std::string> names;
    for (const sql_row& row : rows) {
        names.push_back(row[0].value_or(""));
    }
    return names;
}

db_result<> c_sqlite_database::compact() {
    return run("VACUUM", {});
}

}  // namespace tarvel
