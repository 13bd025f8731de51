#include "history/history_store.h"

#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

namespace tarvel {

namespace {
// The schema, one step per version: migrations[n] takes a database of version n to n + 1.
// A step is never changed once released; a new version adds a step.
const std::vector<std::vector<const char*>> migrations = {
    // Version 1: the builds, their areas' figures and their entry lists.
    {"CREATE TABLE tarvel_schema (version INTEGER NOT NULL)",
     "INSERT INTO tarvel_schema (version) VALUES (0)",
     "CREATE TABLE builds ("
     " id BIGINT PRIMARY KEY,"
     " target TEXT NOT NULL,"
     " commit_id TEXT NOT NULL,"
     " parent TEXT,"
     " branch TEXT,"
     " built_at TEXT NOT NULL,"
     " labels TEXT NOT NULL,"  // a JSON object of the labels
     " ram_used BIGINT NOT NULL,"
     " ram_total BIGINT NOT NULL,"
     " rom_used BIGINT NOT NULL,"
     " rom_total BIGINT NOT NULL,"
     " entry_count BIGINT NOT NULL,"
     " summary TEXT NOT NULL,"       // the report without its entries
     " entries_at BIGINT NOT NULL,"  // where in the summary the entry list belongs
     " UNIQUE (target, commit_id))",
     "CREATE TABLE build_areas ("
     " build_id BIGINT NOT NULL,"
     " seq INTEGER NOT NULL,"
     " name TEXT NOT NULL,"
     " kind TEXT NOT NULL,"
     " size BIGINT NOT NULL,"
     " used BIGINT NOT NULL,"
     " PRIMARY KEY (build_id, seq))",
     "CREATE TABLE build_entries ("
     " build_id BIGINT PRIMARY KEY,"
     " entries TEXT NOT NULL)"},
    // Version 2: lists and trends read one target's builds of one branch in time order.
    {"CREATE INDEX builds_by_branch ON builds (target, branch, built_at, id)",
     "CREATE INDEX build_areas_by_name ON build_areas (name, build_id)"},
};

// A transaction that is rolled back unless committed.
class c_transaction {
  public:
    explicit c_transaction(c_database& database) : database_(database) {}
    ~c_transaction() {
        if (open_) {
            database_.rollback();
        }
    }
    c_transaction(const c_transaction&) = delete;
    c_transaction& operator=(const c_transaction&) = delete;

    db_result<> begin_write() { return opened(database_.begin_write()); }
    db_result<> begin_read() { return opened(database_.begin_read()); }
    db_result<> commit() {
        open_ = false;
        db_result<> committed = database_.commit();
        if (!committed) {
            database_.rollback();
        }
        return committed;
    }

  private:
    db_result<> opened(db_result<> began) {
        open_ = began.ok();
        return began;
    }

    c_database& database_;
    bool open_ = false;
};

std::int64_t number(const std::optional<std::string>& text) {
    return text ? std::stoll(*text) : 0;
}

sql_value text_or_null(const std::string& text) {
    return text.empty() ? sql_value{} : sql_value{text};
}

std::string labels_json(const std::vector<std::pair<std::string, std::string>>& labels) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const auto& [key, value] : labels) {
        object[key] = value;
    }
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::vector<std::pair<std::string, std::string>> labels_of(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> labels;
    const nlohmann::ordered_json object = nlohmann::ordered_json::parse(text, nullptr, false);
    if (object.is_object()) {
        for (const auto& [key, value] : object.items()) {
            labels.emplace_back(key, value.is_string() ? value.get<std::string>() : value.dump());
        }
    }
    return labels;
}

constexpr const char* build_columns =
    "id, target, commit_id, parent, branch, built_at, labels, ram_used, ram_total, rom_used, "
    "rom_total, entry_count, "
    "(SELECT COUNT(*) FROM build_entries e WHERE e.build_id = builds.id)";

build_row build_of(const sql_row& row) {
    build_row build;
    build.id = number(row[0]);
    build.info = {row[1].value_or(""), row[2].value_or(""), row[3].value_or(""),
                  row[4].value_or(""), row[5].value_or(""), labels_of(row[6].value_or("{}"))};
    build.ram_used = number(row[7]);
    build.ram_total = number(row[8]);
    build.rom_used = number(row[9]);
    build.rom_total = number(row[10]);
    build.entry_count = number(row[11]);
    build.has_entries = number(row[12]) > 0;
    return build;
}
}  // namespace

db_result<int> c_history_store::schema_version() {
    const db_result<std::vector<std::string>> tables = database_->table_names();
    if (!tables) {
        return tables.error();
    }
    if (std::find(tables->begin(), tables->end(), "tarvel_schema") == tables->end()) {
        if (!tables->empty()) {
            return db_error{"it holds tables but no build history"};
        }
        return 0;
    }
    std::vector<sql_row> rows;
    if (const db_result<> ran = database_->run("SELECT version FROM tarvel_schema", {}, &rows);
        !ran) {
        return ran.error();
    }
    if (rows.size() != 1 || !rows[0][0]) {
        return db_error{"its schema version is unreadable"};
    }
    return static_cast<int>(number(rows[0][0]));
}

namespace {
db_error newer_schema(int version) {
    return {"its schema version is " + std::to_string(version) + ", newer than this program's " +
            std::to_string(history_schema_version) + ": use a newer tarvel-history"};
}
}  // namespace

db_result<> c_history_store::migrate(int from, int to) {
    for (int version = from; version < to; ++version) {
        for (const char* statement : migrations[static_cast<std::size_t>(version)]) {
            if (const db_result<> ran = database_->run(statement, {}); !ran) {
                return ran;
            }
        }
        if (const db_result<> ran = database_->run("UPDATE tarvel_schema SET version = $1",
                                                   {std::int64_t{version + 1}});
            !ran) {
            return ran;
        }
    }
    return done{};
}

db_result<> c_history_store::migrate_to(int version) {
    c_transaction transaction(*database_);
    if (const db_result<> began = transaction.begin_write(); !began) {
        return began;
    }
    const db_result<int> current = schema_version();
    if (!current) {
        return current.error();
    }
    if (*current > history_schema_version) {
        return newer_schema(*current);
    }
    if (const db_result<> migrated = migrate(*current, std::min(version, history_schema_version));
        !migrated) {
        return migrated;
    }
    return transaction.commit();
}

db_result<> c_history_store::prepare() {
    // Most runs find the schema current and need no writer's lock.
    {
        c_transaction transaction(*database_);
        if (const db_result<> began = transaction.begin_read(); !began) {
            return began;
        }
        const db_result<int> current = schema_version();
        if (!current) {
            return current.error();
        }
        if (*current > history_schema_version) {
            return newer_schema(*current);
        }
        if (*current == history_schema_version) {
            return transaction.commit();
        }
    }
    return migrate_to(history_schema_version);
}

db_result<add_result> c_history_store::add(const build_info& info, const stored_report& report,
                                           bool replace) {
    c_transaction transaction(*database_);
    if (const db_result<> began = transaction.begin_write(); !began) {
        return began.error();
    }
    std::vector<sql_row> rows;
    if (const db_result<> ran =
            database_->run("SELECT id FROM builds WHERE target = $1 AND commit_id = $2",
                           {info.target, info.commit}, &rows);
        !ran) {
        return ran.error();
    }
    const bool exists = !rows.empty();
    if (exists && !replace) {
        return add_result::duplicate;
    }
    if (exists) {
        const sql_value id = number(rows[0][0]);
        for (const char* statement : {"DELETE FROM build_areas WHERE build_id = $1",
                                      "DELETE FROM build_entries WHERE build_id = $1",
                                      "DELETE FROM builds WHERE id = $1"}) {
            if (const db_result<> ran = database_->run(statement, {id}); !ran) {
                return ran.error();
            }
        }
    }
    rows.clear();
    if (const db_result<> ran =
            database_->run("SELECT COALESCE(MAX(id), 0) + 1 FROM builds", {}, &rows);
        !ran) {
        return ran.error();
    }
    const std::int64_t id = number(rows[0][0]);
    if (const db_result<> ran = database_->run(
            "INSERT INTO builds (id, target, commit_id, parent, branch, built_at, labels, "
            "ram_used, ram_total, rom_used, rom_total, entry_count, summary, entries_at) "
            "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14)",
            {id, info.target, info.commit, text_or_null(info.parent), text_or_null(info.branch),
             info.time, labels_json(info.labels), report.ram_used, report.ram_total,
             report.rom_used, report.rom_total, static_cast<std::int64_t>(report.entry_count),
             report.summary, static_cast<std::int64_t>(report.entries_at)});
        !ran) {
        return ran.error();
    }
    std::int64_t seq = 0;
    for (const stored_area& area : report.areas) {
        if (const db_result<> ran =
                database_->run("INSERT INTO build_areas (build_id, seq, name, kind, size, used) "
                               "VALUES ($1, $2, $3, $4, $5, $6)",
                               {id, seq++, area.name, area.kind, area.size, area.used});
            !ran) {
            return ran.error();
        }
    }
    if (const db_result<> ran = database_->run(
            "INSERT INTO build_entries (build_id, entries) VALUES ($1, $2)", {id, report.entries});
        !ran) {
        return ran.error();
    }
    if (const db_result<> committed = transaction.commit(); !committed) {
        return committed.error();
    }
    return exists ? add_result::replaced : add_result::added;
}

db_result<std::vector<build_row>> c_history_store::list(const build_filter& filter) {
    std::string sql = std::string("SELECT ") + build_columns + " FROM builds WHERE 1 = 1";
    std::vector<sql_value> parameters;
    if (!filter.target.empty()) {
        parameters.emplace_back(filter.target);
        sql += " AND target = $" + std::to_string(parameters.size());
    }
    if (!filter.branch.empty()) {
        parameters.emplace_back(filter.branch);
        sql += " AND branch = $" + std::to_string(parameters.size());
    }
    sql += " ORDER BY built_at DESC, id DESC";
    if (filter.last > 0) {
        parameters.emplace_back(static_cast<std::int64_t>(filter.last));
        sql += " LIMIT $" + std::to_string(parameters.size());
    }
    std::vector<sql_row> rows;
    if (const db_result<> ran = database_->run(sql, parameters, &rows); !ran) {
        return ran.error();
    }
    // Newest last, as a log reads.
    std::vector<build_row> builds;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        builds.push_back(build_of(*row));
    }
    return builds;
}

db_result<std::vector<build_ref>> c_history_store::refs(const std::string& target) {
    std::vector<sql_row> rows;
    if (const db_result<> ran = database_->run("SELECT commit_id, parent FROM builds "
                                               "WHERE target = $1 ORDER BY built_at DESC, id DESC",
                                               {target}, &rows);
        !ran) {
        return ran.error();
    }
    std::vector<build_ref> refs;
    for (const sql_row& row : rows) {
        refs.push_back({row[0].value_or(""), row[1].value_or("")});
    }
    return refs;
}

db_result<std::string> c_history_store::report(const std::string& target,
                                               const std::string& commit) {
    std::vector<sql_row> rows;
    if (const db_result<> ran =
            database_->run("SELECT b.summary, b.entries_at, e.entries FROM builds b "
                           "LEFT JOIN build_entries e ON e.build_id = b.id "
                           "WHERE b.target = $1 AND b.commit_id = $2",
                           {target, commit}, &rows);
        !ran) {
        return ran.error();
    }
    if (rows.empty()) {
        return db_error{"no build of " + commit + " is stored"};
    }
    return join_report(rows[0][0].value_or(""), static_cast<std::size_t>(number(rows[0][1])),
                       rows[0][2].value_or(""));
}

db_result<bool> c_history_store::has_entries(const std::string& target, const std::string& commit) {
    std::vector<sql_row> rows;
    if (const db_result<> ran = database_->run(
            "SELECT COUNT(*) FROM builds b JOIN build_entries e ON e.build_id = b.id "
            "WHERE b.target = $1 AND b.commit_id = $2",
            {target, commit}, &rows);
        !ran) {
        return ran.error();
    }
    return number(rows[0][0]) > 0;
}

db_result<trend_data> c_history_store::trend(const std::string& target, const std::string& branch,
                                             const std::vector<std::string>& areas) {
    trend_data data;
    data.target = target;
    data.branch = branch;
    std::string where = "b.target = $1";
    std::vector<sql_value> parameters{target};
    if (!branch.empty()) {
        parameters.emplace_back(branch);
        where += " AND b.branch = $2";
    }
    c_transaction transaction(*database_);
    if (const db_result<> began = transaction.begin_read(); !began) {
        return began.error();
    }
    std::vector<sql_row> builds;
    if (const db_result<> ran =
            database_->run("SELECT b.id, b.commit_id, b.parent, b.built_at FROM builds b WHERE " +
                               where + " ORDER BY b.built_at, b.id",
                           parameters, &builds);
        !ran) {
        return ran.error();
    }
    std::vector<sql_row> figures;
    if (const db_result<> ran =
            database_->run("SELECT a.build_id, a.name, a.kind, a.size, a.used FROM build_areas a "
                           "JOIN builds b ON b.id = a.build_id WHERE " +
                               where + " ORDER BY b.built_at, b.id, a.seq",
                           parameters, &figures);
        !ran) {
        return ran.error();
    }
    if (const db_result<> committed = transaction.commit(); !committed) {
        return committed.error();
    }
    std::map<std::int64_t, std::size_t> column;  // build id to its position
    for (const sql_row& row : builds) {
        column[number(row[0])] = data.builds.size();
        data.builds.push_back({row[1].value_or(""), row[2].value_or(""), row[3].value_or("")});
    }
    std::map<std::string, std::size_t> area_at;
    // The areas named on the command line, in that order, even where no build has them.
    for (const std::string& name : areas) {
        if (area_at.emplace(name, data.areas.size()).second) {
            data.areas.push_back({name, "", {}, {}});
        }
    }
    for (const sql_row& row : figures) {
        const std::string name = row[1].value_or("");
        auto found = area_at.find(name);
        if (found == area_at.end()) {
            if (!areas.empty()) {
                continue;
            }
            found = area_at.emplace(name, data.areas.size()).first;
            data.areas.push_back({name, "", {}, {}});
        }
        trend_area& area = data.areas[found->second];
        if (area.used.empty()) {
            area.used.resize(data.builds.size());
            area.size.resize(data.builds.size());
        }
        if (area.kind.empty()) {
            area.kind = row[2].value_or("");
        }
        const std::size_t at = column[number(row[0])];
        area.size[at] = static_cast<std::uint64_t>(number(row[3]));
        area.used[at] = static_cast<std::uint64_t>(number(row[4]));
    }
    for (trend_area& area : data.areas) {
        area.used.resize(data.builds.size());
        area.size.resize(data.builds.size());
    }
    return data;
}

db_result<std::vector<blame_step>> c_history_store::steps(const std::string& target,
                                                          const std::string& area) {
    std::vector<sql_row> rows;
    if (const db_result<> ran = database_->run(
            "SELECT b.commit_id, p.commit_id, COALESCE(pa.used, 0), COALESCE(ba.used, 0) "
            "FROM builds b JOIN builds p ON p.target = b.target AND p.commit_id = b.parent "
            "LEFT JOIN build_areas ba ON ba.build_id = b.id AND ba.name = $2 "
            "LEFT JOIN build_areas pa ON pa.build_id = p.id AND pa.name = $2 "
            "WHERE b.target = $1 AND (ba.used IS NOT NULL OR pa.used IS NOT NULL)",
            {target, area}, &rows);
        !ran) {
        return ran.error();
    }
    std::vector<blame_step> steps;
    for (const sql_row& row : rows) {
        steps.push_back({row[0].value_or(""), row[1].value_or(""), number(row[2]), number(row[3])});
    }
    std::stable_sort(steps.begin(), steps.end(), [](const blame_step& a, const blame_step& b) {
        return a.change() > b.change();
    });
    return steps;
}

db_result<std::int64_t> c_history_store::prune(std::int64_t keep) {
    c_transaction transaction(*database_);
    if (const db_result<> began = transaction.begin_write(); !began) {
        return began.error();
    }
    std::vector<sql_row> rows;
    const char* doomed =
        "SELECT build_id FROM build_entries WHERE build_id NOT IN ("
        " SELECT id FROM (SELECT id, ROW_NUMBER() OVER ("
        "  PARTITION BY target, branch ORDER BY built_at DESC, id DESC) AS newest"
        "  FROM builds) ranked WHERE newest <= $1)";
    if (const db_result<> counted =
            database_->run(std::string("SELECT COUNT(*) FROM (") + doomed + ") d", {keep}, &rows);
        !counted) {
        return counted.error();
    }
    if (const db_result<> deleted = database_->run(
            std::string("DELETE FROM build_entries WHERE build_id IN (") + doomed + ")", {keep});
        !deleted) {
        return deleted.error();
    }
    if (const db_result<> committed = transaction.commit(); !committed) {
        return committed.error();
    }
    const std::int64_t dropped = number(rows[0][0]);
    if (dropped > 0) {
        if (const db_result<> compacted = database_->compact(); !compacted) {
            return compacted.error();
        }
    }
    return dropped;
}

}  // namespace tarvel
