// One connection to a history database, whatever engine holds it. Every statement is written
// once, in the SQL both engines understand, with its parameters as $1, $2, ...; each engine
// runs it as it is told and returns every value as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "text/input_result.h"

namespace tarvel {

// A parameter of a statement: NULL, an integer or a text.
using sql_value = std::variant<std::monostate, std::int64_t, std::string>;
using sql_row = std::vector<std::optional<std::string>>;  // nullopt for NULL

// Why the database could not do what was asked: the engine's own message, or the history's
// ("no build of ... is stored").
struct db_error {
    std::string what;
};

// A value read from (or a step done in) the database, or why there is none.
template <class T = done>
using db_result = c_result<T, db_error>;

class c_database {
  public:
    virtual ~c_database() = default;
    c_database() = default;
    c_database(const c_database&) = delete;
    c_database& operator=(const c_database&) = delete;

    // Runs one statement; the rows it returns are appended to `rows` when given. The error is
    // the engine's reason for refusing it.
    virtual db_result<> run(std::string_view sql, const std::vector<sql_value>& parameters,
                            std::vector<sql_row>* rows = nullptr) = 0;

    // A transaction that writes: it holds the database's writer lock from its start, so that
    // a check and the write that depends on it see no other writer in between (two CI jobs
    // adding the same build, two programs creating the schema).
    virtual db_result<> begin_write() = 0;
    virtual db_result<> begin_read() = 0;
    virtual db_result<> commit() = 0;
    virtual void rollback() = 0;

    // The names of the tables in the database's (default) schema: the catalog is the one
    // thing each engine asks for in its own words.
    virtual db_result<std::vector<std::string>> table_names() = 0;
    // Gives the space of deleted rows back, where the engine does not do so itself.
    virtual db_result<> compact() = 0;

    // The database as messages name it: the file's path, or the server's address without the
    // password.
    virtual const std::string& display_name() const = 0;
    // "sqlite" or "postgresql".
    virtual const char* engine() const = 0;
};

}  // namespace tarvel
