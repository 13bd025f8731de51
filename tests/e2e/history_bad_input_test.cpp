// tarvel-history given what is no report, or a database it must not touch: exit code 3, a
// message naming the file or the database and the cause, and no build changed or lost.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/history_reports.h"
#include "support/history_run.h"

namespace tarvel::test {
namespace {

class HistoryBadInput : public ::testing::TestWithParam<engine> {
  protected:
    void SetUp() override {
        db = fresh_db(GetParam(), dir);
        TARVEL_NEED_ENGINE(db);
        dir.write("good.json", flash_report(100, {{".text", 100}}));
    }

    process_result add(const std::string& report, const std::string& commit = "c1") {
        return run_history(
            dir, {"add", "--db", db, "--report", report, "--target", "app", "--commit", commit});
    }

    c_temp_dir dir;
    std::string db;
};

TEST_P(HistoryBadInput, ReportsThatAreNoReportOfThisVersionAreRefusedAndNothingIsStored) {
    ASSERT_EQ(add("good.json", "kept").exit_code, 0);
    std::string other_version = flash_report(1);
    other_version.replace(other_version.find("\"version\":1"), 11, "\"version\":7");
    const std::pair<std::string, std::string> cases[] = {
        {"{\"format\":\"tarvel-usage\",\"version\":1,\"ram\":{\"used\":", "is not valid JSON"},
        {"hello", "is not valid JSON"},
        {"{\"format\":\"other\",\"version\":1}", "is not a tarvel-usage report"},
        {other_version, "is a report of version 7"},
        {"[1,2,3]", "is not a tarvel-usage report"},
    };
    for (const auto& [content, reason] : cases) {
        dir.write("bad.json", content);
        const process_result result = add("bad.json");
        EXPECT_EQ(result.exit_code, 3) << content;
        EXPECT_NE(result.error_output.find("the report 'bad.json' " + reason), std::string::npos)
            << result.error_output;
    }
    EXPECT_EQ(add("missing.json").exit_code, 3);
    const process_result list = run_history(dir, {"list", "--db", db, "--format", "csv"});
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 2) << list.output;
}

TEST_P(HistoryBadInput, ADatabaseOfANewerSchemaIsLeftAlone) {
    ASSERT_EQ(add("good.json").exit_code, 0);
    {
        auto store = open_store(db);
        ASSERT_TRUE(store->database().run("UPDATE tarvel_schema SET version = 3", {}));
    }
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"list", "--db", db},
          std::vector<std::string>{"add", "--db", db, "--report", "good.json", "--target", "app",
                                   "--commit", "c2"}}) {
        const process_result result = run_history(dir, command);
        EXPECT_EQ(result.exit_code, 3);
        EXPECT_NE(result.error_output.find("schema version is 3, newer than this program's"),
                  std::string::npos)
            << result.error_output;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, HistoryBadInput,
                         ::testing::Values(engine::sqlite, engine::postgresql),
                         [](const auto& info) { return engine_name(info.param); });

TEST(HistoryBadDatabase, FilesThatAreNoHistoryDatabaseAreNamedWithTheCause) {
    c_temp_dir dir;
    dir.write("good.json", flash_report(100));
    dir.write("text.db", std::string(4096, 'x'));
    const std::pair<std::string, std::string> cases[] = {
        {"text.db", "cannot use the history database 'text.db': file is not a database"},
        {"missing.db", "cannot use the history database 'missing.db': no such database file"},
    };
    for (const auto& [file, message] : cases) {
        const process_result result = run_history(dir, {"list", "--db", file});
        EXPECT_EQ(result.exit_code, 3) << file;
        EXPECT_EQ(result.error_output, "tarvel-history: " + message + "\n");
    }
    // A file that is not a database is not made one by add.
    EXPECT_EQ(run_history(dir, {"add", "--db", "text.db", "--report", "good.json", "--target",
                                "app", "--commit", "c1"})
                  .exit_code,
              3);
    EXPECT_EQ(dir.read("text.db"), std::string(4096, 'x'));
}

TEST(HistoryBadDatabase, ADamagedSqliteFileIsRefusedAndItsBuildsAreNotOverwritten) {
    c_temp_dir dir;
    dir.write("good.json", flash_report(100, {{".text", 100}}));
    const std::string add_c1[] = {"add",      "--db", "h.db",     "--report", "good.json",
                                  "--target", "app",  "--commit", "c1"};
    ASSERT_EQ(
        run_history(dir, std::vector<std::string>(std::begin(add_c1), std::end(add_c1))).exit_code,
        0);
    // Checkpoint the log into the file, then overwrite the pages after the header.
    { open_store((dir.path() / "h.db").string()).reset(); }
    std::string content = dir.read("h.db");
    ASSERT_GT(content.size(), 4096u);
    for (std::size_t i = 100; i < content.size(); ++i) {
        content[i] = static_cast<char>(0xA5);
    }
    std::filesystem::remove(dir.path() / "h.db-wal");
    std::filesystem::remove(dir.path() / "h.db-shm");
    dir.write("h.db", content);
    const process_result list = run_history(dir, {"list", "--db", "h.db"});
    EXPECT_EQ(list.exit_code, 3);
    EXPECT_NE(list.error_output.find("'h.db'"), std::string::npos) << list.error_output;
    EXPECT_EQ(run_history(dir, {"add", "--db", "h.db", "--report", "good.json", "--target", "app",
                                "--commit", "c2"})
                  .exit_code,
              3);
    EXPECT_EQ(dir.read("h.db"), content);
}

TEST(HistoryBadDatabase, ServersThatRefuseAreNamedWithoutThePassword) {
    c_temp_dir dir;
    dir.write("good.json", flash_report(100));
    // Nothing listens on this socket directory.
    const std::string refused = "postgresql://ci:s3cret@/history?host=" + dir.path().string();
    process_result result = run_history(dir, {"list", "--db", refused});
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.error_output.find("s3cret"), std::string::npos) << result.error_output;
    EXPECT_NE(result.error_output.find("postgresql://ci:***@/history"), std::string::npos)
        << result.error_output;
    result = run_history(dir, {"add", "--db", refused + "&password=other", "--report", "good.json",
                               "--target", "app", "--commit", "c1"});
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.error_output.find("other"), std::string::npos) << result.error_output;

    c_postgres_server* server = c_postgres_server::instance();
    TARVEL_NEED_POSTGRES(server);
    result = run_history(dir, {"list", "--db", server->address("nobody")});
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_NE(result.error_output.find("role \"nobody\" does not exist"), std::string::npos)
        << result.error_output;
}

}  // namespace
}  // namespace tarvel::test
