// The history database in an SQLite file.
#pragma once

#include <memory>
#include <string>

#include "history/database.h"

struct sqlite3;

namespace tarvel {

class c_sqlite_database final : public c_database {
  public:
    // Opens the file, creating it when `create` is set. The error says why it cannot be
    // opened, or that it is no SQLite database.
    static db_result<std::unique_ptr<c_database>> open(const std::string& path, bool create);
    ~c_sqlite_database() override;

    db_result<> run(std::string_view sql, const std::vector<sql_value>& parameters,
                    std::vector<sql_row>* rows = nullptr) override;
    db_result<> begin_write() override;
    db_result<> begin_read() override;
    db_result<> commit() override;
    void rollback() override;
    db_result<std::vector<std::string>> table_names() override;
    db_result<> compact() override;
    const std::string& display_name() const override { return path_; }
    const char* engine() const override { return "sqlite"; }

  private:
    c_sqlite_database(sqlite3* handle, std::string path)
        : handle_(handle), path_(std::move(path)) {}

    sqlite3* handle_;
    std::string path_;
};

}  // namespace tarvel
