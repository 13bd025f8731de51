// Reports and databases for the history's tests: small JSON reports of tarvel-report's format
// made to measure, and a database of either engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "history/history_store.h"
#include "history/open_database.h"
#include "support/postgres_server.h"
#include "support/temp_dir.h"

namespace tarvel::test {

struct report_area {
    std::string name;
    std::string kind;
    std::int64_t size = 0;
    std::int64_t used = 0;
};

struct report_entry {
    std::string area;
    std::string name;
    std::int64_t size = 0;
};

// A tarvel-usage report of version 1 with these areas and entries, an entry a line as
// tarvel-report writes them.
inline std::string make_report(const std::vector<report_area>& areas,
                               const std::vector<report_entry>& entries) {
    nlohmann::ordered_json report;
    report["format"] = "tarvel-usage";
    report["version"] = 1;
    std::int64_t ram = 0;
    std::int64_t rom = 0;
    std::int64_t ram_total = 0;
    std::int64_t rom_total = 0;
    nlohmann::ordered_json area_list = nlohmann::ordered_json::array();
    for (const report_area& area : areas) {
        (area.kind == "ram" ? ram : rom) += area.kind == "eeprom" ? 0 : area.used;
        (area.kind == "ram" ? ram_total : rom_total) += area.kind == "eeprom" ? 0 : area.size;
        area_list.push_back({{"name", area.name},
                             {"kind", area.kind},
                             {"start", 0},
                             {"size", area.size},
                             {"used", area.used},
                             {"bits", 0}});
    }
    report["ram"] = {{"total", ram_total}, {"used", ram}, {"bits", 0}};
    report["rom"] = {{"total", rom_total}, {"used", rom}};
    report["areas"] = area_list;
    report["searches"] = nlohmann::ordered_json::array();
    std::string text = report.dump();
    text.pop_back();
    text += ",\"entries\":[";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        text += (i == 0 ? "\n" : ",\n") + nlohmann::ordered_json{{"name", entries[i].name},
                                                                 {"address", i},
                                                                 {"size", entries[i].size},
                                                                 {"area", entries[i].area},
                                                                 {"search", nullptr}}
                                              .dump();
    }
    text += "],\"unplaced\":[]}\n";
    return text;
}

// A report of one program area "FLASH" and one RAM area "RAM", FLASH holding `entries`.
inline std::string flash_report(
    std::int64_t flash_used,
    const std::vector<std::pair<std::string, std::int64_t>>& entries = {}) {
    std::vector<report_entry> list;
    for (const auto& [name, size] : entries) {
        list.push_back({"FLASH", name, size});
    }
    return make_report({{"FLASH", "program", 65536, flash_used}, {"RAM", "ram", 8192, 1024}}, list);
}

enum class engine { sqlite, postgresql };

inline const char* engine_name(engine which) {
    return which == engine::sqlite ? "sqlite" : "postgresql";
}

// The --db text of an empty database of the engine, in `dir` for SQLite; empty when no
// PostgreSQL server can be had.
inline std::string fresh_db(engine which, const c_temp_dir& dir, const std::string& name = "h.db") {
    if (which == engine::sqlite) {
        return (dir.path() / name).string();
    }
    c_postgres_server* server = c_postgres_server::instance();
    return server == nullptr ? std::string() : server->fresh_database();
}

#define TARVEL_NEED_ENGINE(db)                                        \
    if ((db).empty()) {                                               \
        GTEST_SKIP() << "PostgreSQL server binaries missing: "        \
                     << ::tarvel::test::c_postgres_server::why_not(); \
    }

// The store of a database, its schema prepared.
inline std::unique_ptr<c_history_store> open_store(const std::string& db) {
    db_result<std::unique_ptr<c_database>> database = open_database(db, true);
    if (!database) {
        return nullptr;
    }
    auto store = std::make_unique<c_history_store>(std::move(database).value());
    return store->prepare() ? std::move(store) : nullptr;
}

}  // namespace tarvel::test
