// The history database in an SQLite file.
#pragma once

#include <memory>
#include <string>

#include "history/database.h"

struct sqlite3;

namespace tarvel {

class c_sqlite_database final : public c_database {
  public:
    // Opens the file, creating it when `create` is set. None, with the reason in `error`, when
    // it cannot be opened or is no SQLite database.
    static std::unique_ptr<c_sqlite_database> open(const std::string& path, bool create,
                                                   std::string& error);
    ~c_sqlite_database() override;

    bool run(std::string_view sql, const std::vector<sql_value>& parameters,
             std::vector<sql_row>* rows, std::string& error) override;
    bool begin_write(std::string& error) override;
    bool begin_read(std::string& error) override;
    bool commit(std::string& error) override;
    void rollback() override;
    bool table_names(std::vector<std::string>& names, std::string& error) override;
    bool compact(std::string& error) override;
    const std::string& display_name() const override { return path_; }
    const char* engine() const override { return "sqlite"; }

  private:
    c_sqlite_database(sqlite3* handle, std::string path)
        : handle_(handle), path_(std::move(path)) {}

    sqlite3* handle_;
    std::string path_;
};

}  // namespace tarvel
