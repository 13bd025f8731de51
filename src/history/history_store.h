// The builds of a history database: every statement the history runs, and the schema with its
// migrations, written once for both engines.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "report/build_record.h"
#include "history/commit_ref.h"
#include "history/database.h"
#include "history/stored_report.h"
#include "report/trend_data.h"

namespace tarvel {

// The schema version this program writes. A database of a later version was written by a
// newer program and is left alone.
inline constexpr int history_schema_version = 2;

struct build_filter {
    std::string target;    // empty: every target
    std::string branch;    // empty: every branch
    std::size_t last = 0;  // 0: every build
};

enum class add_result { added, replaced, duplicate, failed };

struct blame_step {
    std::string commit;
    std::string parent;
    std::int64_t before = 0;
    std::int64_t after = 0;
    std::int64_t change() const { return after - before; }
};

class c_history_store {
  public:
    explicit c_history_store(std::unique_ptr<c_database> database)
        : database_(std::move(database)) {}

    // Brings the schema to this program's version (creating it in an empty database). Fails
    // when the database is of a later version, or no history database.
    bool prepare(std::string& error);
    // The schema version stored; 0 for an empty database.
    std::optional<int> schema_version(std::string& error);
    // Runs the migrations up to `version` only: for tests of the migrations.
    bool migrate_to(int version, std::string& error);

    // Stores a build in one transaction: all of it, or nothing.
    add_result add(const build_info& info, const stored_report& report, bool replace,
                   std::string& error);
    bool list(const build_filter& filter, std::vector<build_row>& rows, std::string& error);
    // One target's builds, newest first, for resolving commits.
    bool refs(const std::string& target, std::vector<build_ref>& refs, std::string& error);
    // The stored report of a build, as it was added (without entries once pruned).
    std::optional<std::string> report(const std::string& target, const std::string& commit,
                                      std::string& error);
    bool has_entries(const std::string& target, const std::string& commit, std::string& error);
    // The areas' figures over the builds of a branch (every build of the target when the
    // branch is empty), oldest first; `areas` empty: every area.
    bool trend(const std::string& target, const std::string& branch,
               const std::vector<std::string>& areas, trend_data& data, std::string& error);
    // Every build whose parent is stored, with the area's used bytes in both; largest growth
    // first.
    bool steps(const std::string& target, const std::string& area, std::vector<blame_step>& steps,
               std::string& error);
    // Drops the entry lists of all but the newest `keep` builds of each target and branch.
    // Gives how many lists were dropped.
    std::optional<std::int64_t> prune(std::int64_t keep, std::string& error);

    c_database& database() { return *database_; }

  private:
    bool migrate(int from, int to, std::string& error);

    std::unique_ptr<c_database> database_;
};

}  // namespace tarvel
