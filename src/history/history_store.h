// The builds of a history database: every statement the history runs, and the schema with its
// migrations, written once for both engines.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/commit_ref.h"
#include "history/database.h"
#include "history/stored_report.h"
#include "report/build_record.h"
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

enum class add_result { added, replaced, duplicate };

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
    db_result<> prepare();
    // The schema version stored; 0 for an empty database.
    db_result<int> schema_version();
    // Runs the migrations up to `version` only: for tests of the migrations.
    db_result<> migrate_to(int version);

    // Stores a build in one transaction: all of it, or nothing.
    db_result<add_result> add(const build_info& info, const stored_report& report, bool replace);
    // The builds the filter lets through, oldest first.
    db_result<std::vector<build_row>> list(const build_filter& filter);
    // One target's builds, newest first, for resolving commits.
    db_result<std::vector<build_ref>> refs(const std::string& target);
    // The stored report of a build, as it was added (without entries once pruned).
    db_result<std::string> report(const std::string& target, const std::string& commit);
    // Whether the build's entry list is kept (not pruned); false too for a build not stored.
    db_result<bool> has_entries(const std::string& target, const std::string& commit);
    // The areas' figures over the builds of a branch (every build of the target when the
    // branch is empty), oldest first; `areas` empty: every area.
    db_result<trend_data> trend(const std::string& target, const std::string& branch,
                                const std::vector<std::string>& areas);
    // Every build whose parent is stored, with the area's used bytes in both; largest growth
    // first.
    db_result<std::vector<blame_step>> steps(const std::string& target, const std::string& area);
    // Drops the entry lists of all but the newest `keep` builds of each target and branch.
    // Gives how many lists were dropped.
    db_result<std::int64_t> prune(std::int64_t keep);

    c_database& database() { return *database_; }

  private:
    db_result<> migrate(int from, int to);

    std::unique_ptr<c_database> database_;
};

}  // namespace tarvel
