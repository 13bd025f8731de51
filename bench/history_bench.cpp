// The history's speed targets: storing a build of 100 000 entries, and a trend over 10 000
// builds, with an SQLite file and (when TARVEL_BENCH_POSTGRES holds a connection string, as
// bench/history.sh sets it) a PostgreSQL server; and the database's bytes per build with and
// without entry lists.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "history/history_store.h"
#include "history/open_database.h"

namespace {
using namespace tarvel;

// Strings put together by appending: GCC 12 warns falsely of overlapping copies in chains of
// `+` on strings.
template <typename... Parts>
std::string cat(const Parts&... parts) {
    std::string text;
    (text.append(parts), ...);
    return text;
}

// A report of two areas, FLASH holding `entries` entries, as tarvel-report writes one.
std::string report_with(std::size_t entries, std::size_t flash_used) {
    const std::string used = std::to_string(flash_used);
    std::string text = cat(
        "{\"format\":\"tarvel-usage\",\"version\":1,\"ram\":{\"total\":65536,\"used\":1024,"
        "\"bits\":0},\"rom\":{\"total\":1048576,\"used\":",
        used,
        "},\"areas\":[{\"name\":\"FLASH\",\"kind\":\"program\",\"start\":0,\"size\":1048576,"
        "\"used\":",
        used,
        "},{\"name\":\"RAM\",\"kind\":\"ram\",\"start\":536870912,\"size\":65536,\"used\":1024}],"
        "\"searches\":[],\"entries\":[");
    for (std::size_t i = 0; i < entries; ++i) {
        text.append(cat(i == 0 ? "\n" : ",\n", "{\"name\":\".text.function_number_",
                        std::to_string(i), "\",\"address\":", std::to_string(i * 16),
                        ",\"size\":16,\"area\":\"FLASH\",\"search\":null,\"object\":\"module_",
                        std::to_string(i % 500), ".o\"}"));
    }
    return text.append("],\"unplaced\":[]}\n");
}

struct bench_db {
    std::string db;
    std::filesystem::path file;  // SQLite only
};

// A fresh database of the engine: a file in the temporary directory, or a schema of its own
// on the server.
bench_db fresh(bool postgres, const std::string& name) {
    if (!postgres) {
        const auto file =
            std::filesystem::temp_directory_path() / cat("tarvel-bench-", name, ".db");
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(file.string() + suffix);
        }
        return {file.string(), file};
    }
    const std::string server = std::getenv("TARVEL_BENCH_POSTGRES");
    auto database = open_database(server, false);
    if (!database) {
        std::abort();
    }
    (void)(*database)->run(cat("DROP SCHEMA IF EXISTS bench_", name, " CASCADE"), {});
    (void)(*database)->run(cat("CREATE SCHEMA bench_", name), {});
    return {cat(server, server.find('?') == std::string::npos ? "?" : "&",
                "options=-csearch_path%3Dbench_", name),
            {}};
}

std::unique_ptr<c_history_store> open_store(const std::string& db) {
    db_result<std::unique_ptr<c_database>> database = open_database(db, true);
    if (!database) {
        std::abort();
    }
    auto store = std::make_unique<c_history_store>(std::move(database).value());
    if (!store->prepare()) {
        std::abort();
    }
    return store;
}

// The bytes the database takes.
double database_bytes(c_history_store& store, const bench_db& db) {
    if (!db.file.empty()) {
        return static_cast<double>(std::filesystem::file_size(db.file));
    }
    std::vector<sql_row> rows;
    (void)store.database().run(
        "SELECT pg_total_relation_size('builds') + pg_total_relation_size('build_areas') + "
        "pg_total_relation_size('build_entries')",
        {}, &rows);
    return std::stod(rows.at(0).at(0).value_or("0"));
}

void add_100000_entries(benchmark::State& state, bool postgres) {
    const bench_db db = fresh(postgres, "add");
    auto store = open_store(db.db);
    const std::string report = report_with(100000, 1600000);
    int commit = 0;
    for (auto _ : state) {
        const c_result<stored_report> stored = store_report(report);
        const build_info info{
            "app", cat("commit", std::to_string(++commit)), "", "main", "2026-12-08T10:00:00Z", {}};
        const db_result<add_result> added = stored ? store->add(info, *stored, false)
                                                   : db_result<add_result>(db_error{"no report"});
        if (!added || *added != add_result::added) {
            state.SkipWithError(added ? "the build was stored already"
                                      : added.error().what.c_str());
            break;
        }
    }
    const double builds = commit;
    state.counters["bytes_per_build_with_entries"] = database_bytes(*store, db) / builds;
}

void trend_10000_builds(benchmark::State& state, bool postgres) {
    const bench_db db = fresh(postgres, "trend");
    auto store = open_store(db.db);
    const std::string report = report_with(0, 1000);
    const c_result<stored_report> stored = store_report(report);
    constexpr int builds = 10000;
    std::string parent;
    for (int i = 0; i < builds; ++i) {
        const std::string commit = cat("c", std::to_string(i));
        char time[32];
        std::snprintf(time, sizeof time, "2026-%02d-%02dT%02d:%02d:00Z", 1 + i / 1000 % 12,
                      1 + i / 40 % 28, i / 60 % 24, i % 60);
        (void)store->add({"app", commit, parent, "main", time, {}}, *stored, false);
        parent = commit;
    }
    state.counters["bytes_per_build_summary"] = database_bytes(*store, db) / builds;
    for (auto _ : state) {
        const db_result<trend_data> data = store->trend("app", "main", {});
        if (!data || data->builds.size() != builds) {
            state.SkipWithError(data ? "builds are missing" : data.error().what.c_str());
            break;
        }
        benchmark::DoNotOptimize(data);
    }
}

bool with_postgres() {
    return std::getenv("TARVEL_BENCH_POSTGRES") != nullptr;
}
}  // namespace

BENCHMARK_CAPTURE(add_100000_entries, sqlite, false)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(trend_10000_builds, sqlite, false)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    if (with_postgres()) {
        benchmark::RegisterBenchmark("add_100000_entries/postgresql", add_100000_entries, true)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        benchmark::RegisterBenchmark("trend_10000_builds/postgresql", trend_10000_builds, true)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
