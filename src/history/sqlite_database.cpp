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

std::unique_ptr<c_sqlite_database> c_sqlite_database::open(const std::string& path, bool create,
                                                           std::string& error) {
    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int status = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    if (status != SQLITE_OK) {
        error =
            status == SQLITE_CANTOPEN && !create ? "no such database file" : sqlite3_errstr(status);
        sqlite3_close(handle);
        return nullptr;
    }
    std::unique_ptr<c_sqlite_database> database(new c_sqlite_database(handle, path));
    sqlite3_busy_timeout(handle, busy_timeout_ms);
    // Readers go on while a job writes, and a job killed in the middle of a transaction
    // leaves the file as it was before it; the first statement also shows a file that is no
    // database, or a damaged one.
    if (!database->run("PRAGMA journal_mode=WAL", {}, nullptr, error) ||
        !database->run("PRAGMA synchronous=NORMAL", {}, nullptr, error)) {
        return nullptr;
    }
    return database;
}

c_sqlite_database::~c_sqlite_database() {
    sqlite3_close(handle_);
}

bool c_sqlite_database::run(std::string_view sql, const std::vector<sql_value>& parameters,
                            std::vector<sql_row>* rows, std::string& error) {
    c_statement statement;
    const std::string text = sqlite_text(sql);
    if (sqlite3_prepare_v2(handle_, text.c_str(), static_cast<int>(text.size()), statement.out(),
                           nullptr) != SQLITE_OK) {
        error = sqlite3_errmsg(handle_);
        return false;
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
            error = sqlite3_errmsg(handle_);
            return false;
        }
    }
    for (;;) {
        const int status = sqlite3_step(statement.get());
        if (status == SQLITE_DONE) {
            return true;
        }
        if (status != SQLITE_ROW) {
            error = sqlite3_errmsg(handle_);
            return false;
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

bool c_sqlite_database::begin_write(std::string& error) {
    // IMMEDIATE takes the writer lock now, not at the first write.
    return run("BEGIN IMMEDIATE", {}, nullptr, error);
}

bool c_sqlite_database::begin_read(std::string& error) {
    return run("BEGIN", {}, nullptr, error);
}

bool c_sqlite_database::commit(std::string& error) {
    return run("COMMIT", {}, nullptr, error);
}

void c_sqlite_database::rollback() {
    std::string ignored;
    if (sqlite3_get_autocommit(handle_) == 0) {
        run("ROLLBACK", {}, nullptr, ignored);
    }
}

bool c_sqlite_database::table_names(std::vector<std::string>& names, std::string& error) {
    std::vector<sql_row> rows;
    if (!run("SELECT name FROM sqlite_master WHERE type = 'table'", {}, &rows, error)) {
        return false;
    }
    for (const sql_row& row : rows) {
        names.push_back(row[0].value_or(""));
    }
    return true;
}

bool c_sqlite_database::compact(std::string& error) {
    return run("VACUUM", {}, nullptr, error);
}

}  // namespace tarvel
