// Many CI jobs adding at once, and a job killed in the middle of an add: nothing lost, nothing
// twice, no half build.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "support/history_reports.h"
#include "support/history_run.h"

namespace tarvel::test {
namespace {

// Starts `argv` in `directory` without waiting; its output is thrown away.
pid_t start(const std::vector<std::string>& argv, const std::filesystem::path& directory) {
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> args;
        std::vector<std::string> copy = argv;
        for (std::string& arg : copy) {
            args.push_back(arg.data());
        }
        args.push_back(nullptr);
        if (chdir(directory.c_str()) != 0 || std::freopen("/dev/null", "w", stdout) == nullptr ||
            std::freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(126);
        }
        execv(args[0], args.data());
        _exit(127);
    }
    return child;
}

int wait_for(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class HistoryConcurrency : public ::testing::TestWithParam<engine> {
  protected:
    void SetUp() override {
        db = fresh_db(GetParam(), dir);
        TARVEL_NEED_ENGINE(db);
    }

    std::vector<build_row> builds() {
        auto store = open_store(db);
        EXPECT_NE(store, nullptr);
        if (!store) {
            return {};
        }
        db_result<std::vector<build_row>> rows = store->list({});
        EXPECT_TRUE(rows) << rows.error().what;
        return rows ? std::move(rows).value() : std::vector<build_row>{};
    }

    c_temp_dir dir;
    std::string db;
};

TEST_P(HistoryConcurrency, EightJobsAddingFiftyBuildsEachLoseNothingAndDuplicateNothing) {
    constexpr int jobs = 8;
    constexpr int builds_per_job = 50;
    dir.write("r.json", flash_report(100, {{".text", 60}, {".data", 40}}));
    // Each job adds its own builds, and every job tries the same five shared ones: one add of
    // each shared build wins, the others are refused.
    std::vector<pid_t> children;
    for (int job = 0; job < jobs; ++job) {
        const std::string script =
            "for i in $(seq 1 " + std::to_string(builds_per_job) +
            "); do \"$0\" add --db \"$1\" "
            "--report r.json --target app --commit job" +
            std::to_string(job) +
            "_$i || exit 1; done; "
            "for i in 1 2 3 4 5; do \"$0\" add --db \"$1\" --report r.json --target app "
            "--commit shared_$i; s=$?; [ $s -eq 0 ] || [ $s -eq 2 ] || exit 1; done";
        children.push_back(
            start({"/bin/sh", "-c", script, tarvel_history_executable(), db}, dir.path()));
    }
    for (const pid_t child : children) {
        EXPECT_EQ(wait_for(child), 0);
    }
    const std::vector<build_row> rows = builds();
    std::set<std::string> commits;
    for (const build_row& row : rows) {
        commits.insert(row.info.commit);
        EXPECT_EQ(row.entry_count, 2);
    }
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(jobs * builds_per_job + 5));
    EXPECT_EQ(commits.size(), rows.size());
}

TEST_P(HistoryConcurrency, AJobKilledDuringAnAddLeavesNoHalfBuild) {
    // A report large enough that storing it takes a while.
    std::vector<std::pair<std::string, std::int64_t>> entries;
    for (int i = 0; i < 200000; ++i) {
        entries.emplace_back(std::string("symbol_with_a_long_name_").append(std::to_string(i)), 4);
    }
    const std::string report = flash_report(800000, entries);
    dir.write("big.json", report);
    for (const int delay_ms : {5, 40, 120, 250}) {
        const std::string commit = std::string("k").append(std::to_string(delay_ms));
        const pid_t child = start({tarvel_history_executable(), "add", "--db", db, "--report",
                                   "big.json", "--target", "app", "--commit", commit},
                                  dir.path());
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        kill(child, SIGKILL);
        wait_for(child);
        // The build is there whole, or not at all; either way the next add goes through.
        auto store = open_store(db);
        ASSERT_NE(store, nullptr);
        const db_result<std::string> stored = store->report("app", commit);
        if (stored) {
            EXPECT_EQ(*stored, report) << delay_ms;
        }
        if (GetParam() == engine::sqlite) {
            std::vector<sql_row> check;
            ASSERT_TRUE(store->database().run("PRAGMA integrity_check", {}, &check));
            EXPECT_EQ(check[0][0], "ok");
        }
    }
    EXPECT_EQ(run_history(dir, {"add", "--db", db, "--report", "big.json", "--target", "app",
                                "--commit", "after", "--replace"})
                  .exit_code,
              0);
    for (const build_row& row : builds()) {
        EXPECT_EQ(row.entry_count, 200000);
        EXPECT_TRUE(row.has_entries);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, HistoryConcurrency,
                         ::testing::Values(engine::sqlite, engine::postgresql),
                         [](const auto& info) { return engine_name(info.param); });

}  // namespace
}  // namespace tarvel::test
