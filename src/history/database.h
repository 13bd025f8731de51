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

namespace tarvel {

// A parameter of a statement: NULL, an integer or a text.
using sql_value = std::variant<std::monostate, std::int64_t, std::string>;
using sql_row = std::vector<std::optional<std::string>>;  // nullopt for NULL

class c_database {
  public:
    virtual ~c_database() = default;
    c_database() = default;
    c_database(const c_database&) = delete;
    c_database& operator=(const c_database&) = delete;

    // Runs one statement; the rows it returns are appended to `rows` when given. False with
    // the reason in `error` when the engine refused it.
    virtual bool run(std::string_view sql, const std::vector<sql_value>& parameters,
                     std::vector<sql_row>* rows, std::string& error) = 0;

    // A transaction that writes: it holds the database's writer lock from its start, so that
    // a check and the write that depends on it see no other writer in between (two CI jobs
    // adding the same build, two programs creating the schema).
    virtual bool begin_write(std::string& error) = 0;
    virtual bool begin_read(std::string& error) = 0;
    virtual bool commit(std::string& error) = 0;
    virtual void rollback() = 0;

    // The names of the tables in the database's (default) schema: the catalog is the one
    // thing each engine asks for in its own words.
    virtual bool table_names(std::vector<std::string>& names, std::string& error) = 0;
    // Gives the space of deleted rows back, where the engine does not do so itself.
    virtual bool compact(std::string& error) = 0;

    // The database as messages name it: the file's path, or the server's address without the
    // password.
    virtual const std::string& display_name() const = 0;
    // "sqlite" or "postgresql".
    virtual const char* engine() const = 0;
};

}  // namespace tarvel
