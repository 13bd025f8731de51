// End-to-end tests of every tarvel-history command and exit code, against an SQLite file and a
// PostgreSQL server: what each prints, and that compare says exactly what tarvel-report --diff
// says of the same two builds.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/history_reports.h"
#include "support/history_run.h"
#include "support/report_run.h"

namespace tarvel::test {
namespace {

class HistoryCommands : public ::testing::TestWithParam<engine> {
  protected:
    void SetUp() override {
        db = fresh_db(GetParam(), dir);
        TARVEL_NEED_ENGINE(db);
        copy_example(dir, "puma");
    }

    // tarvel-report of a Puma example map, its JSON report written to `json`.
    void report(const std::string& map, const std::string& json) {
        ASSERT_EQ(run_report(dir, {"--type", "Puma", "--def", "puma/target.def", "--map",
                                   "puma/" + map, "--json", json, "--format", "csv"})
                      .exit_code,
                  0);
    }

    process_result history(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin() + 1, {"--db", db});
        return run_history(dir, arguments);
    }

    // The Puma example's two builds, the second with the first as its parent.
    void add_both() {
        report("application.map", "base.json");
        report("next.map", "head.json");
        ASSERT_EQ(
            history({"add", "--report", "base.json", "--target", "app", "--commit", "1111aaaa",
                     "--branch", "main", "--time", "2026-12-01T10:00:00Z", "--label", "job=7"})
                .exit_code,
            0);
        // tarvel-report stores the run's report as add does.
        const process_result recorded =
            run_report(dir, {"--type", "Puma", "--def", "puma/target.def", "--map", "puma/next.map",
                             "--record", db, "--target", "app", "--commit", "2222bbbb", "--parent",
                             "1111aaaa", "--branch", "main", "--time", "2026-12-02T10:00:00Z"});
        ASSERT_EQ(recorded.exit_code, 0) << recorded.error_output;
    }

    c_temp_dir dir;
    std::string db;
};

TEST_P(HistoryCommands, AddRefusesASecondBuildOfACommitUnlessReplaced) {
    add_both();
    const process_result again =
        history({"add", "--report", "head.json", "--target", "app", "--commit", "1111aaaa"});
    EXPECT_EQ(again.exit_code, 2);
    EXPECT_NE(again.error_output.find("holds a build of app at 1111aaaa already"),
              std::string::npos)
        << again.error_output;
    EXPECT_EQ(history({"show", "--target", "app", "--commit", "1111aaaa"}).output,
              dir.read("base.json"));
    EXPECT_EQ(history({"add", "--report", "head.json", "--target", "app", "--commit", "1111aaaa",
                       "--replace"})
                  .exit_code,
              0);
    EXPECT_EQ(history({"show", "--target", "app", "--commit", "1111"}).output,
              dir.read("head.json"));
}

TEST_P(HistoryCommands, ListPrintsTheBuildsAsTextJsonAndCsv) {
    add_both();
    const process_result text = history({"list"});
    EXPECT_EQ(text.exit_code, 0);
    EXPECT_EQ(text.output,
              "Commit        Time                  Target          Branch          ROM used    "
              "RAM used   Entries  Labels\n"
              "1111aaaa      2026-12-01T10:00:00Z  app             main              317804     "
              "  22792        31  job=7\n"
              "2222bbbb      2026-12-02T10:00:00Z  app             main              318572     "
              "  23048        31  \n");
    EXPECT_EQ(
        history({"list", "--last", "1", "--format", "csv"}).output,
        "target,commit,parent,branch,time,ram_used,ram_total,rom_used,rom_total,entries,"
        "entries_kept,labels\n"
        "app,2222bbbb,1111aaaa,main,2026-12-02T10:00:00Z,23048,28672,318572,819200,31,yes,\n");
    const nlohmann::json json = nlohmann::json::parse(history({"list", "--format", "json"}).output);
    ASSERT_EQ(json["builds"].size(), 2u);
    EXPECT_EQ(json["builds"][0]["labels"]["job"], "7");
    EXPECT_EQ(json["builds"][1]["parent"], "1111aaaa");
    EXPECT_EQ(history({"list", "--branch", "other"}).output, "No build is stored.\n");
}

TEST_P(HistoryCommands, CompareSaysWhatTarvelReportDiffSaysOfTheSameReports) {
    add_both();
    // tarvel-report names its base by the path it was given: the base's commit here.
    dir.write("1111aaaa", dir.read("base.json"));
    const std::vector<std::string> budgets{"--max", "Ram seg0=21400", "--max-growth", "ROM=1KiB"};
    for (const char* format : {"text", "json", "markdown"}) {
        std::vector<std::string> compare{"compare", "--target", "app", "HEAD~1",
                                         "2222",    "--format", format};
        compare.insert(compare.end(), budgets.begin(), budgets.end());
        std::vector<std::string> diff{"--type",   "Puma",          "--def",  "puma/target.def",
                                      "--map",    "puma/next.map", "--diff", "1111aaaa",
                                      "--format", format};
        diff.insert(diff.end(), budgets.begin(), budgets.end());
        const process_result ours = history(compare);
        const process_result theirs = run_report(dir, diff);
        EXPECT_EQ(ours.exit_code, 1) << format;
        EXPECT_EQ(theirs.exit_code, 1) << format;
        EXPECT_EQ(ours.output, theirs.output) << format;
        EXPECT_EQ(ours.error_output,
                  "tarvel-history: budget exceeded: Ram seg0 <= 21400, but used 21480 bytes\n");
    }
    EXPECT_EQ(
        history({"compare", "--target", "app", "HEAD~1", "HEAD", "--max", "nothing=1"}).exit_code,
        2);
}

TEST_P(HistoryCommands, CommitsThatNameNoBuildHaveExitCodesOfTheirOwn) {
    add_both();
    EXPECT_EQ(history({"show", "--target", "app", "--commit", "9999"}).exit_code, 4);
    EXPECT_EQ(history({"show", "--target", "nope", "--commit", "HEAD"}).exit_code, 4);
    EXPECT_EQ(history({"show", "--target", "app", "--commit", "HEAD~2"}).exit_code, 4);
    ASSERT_EQ(history({"add", "--report", "base.json", "--target", "app", "--commit", "1111ffff"})
                  .exit_code,
              0);
    const process_result ambiguous = history({"show", "--target", "app", "--commit", "1111"});
    EXPECT_EQ(ambiguous.exit_code, 2);
    EXPECT_NE(ambiguous.error_output.find("ambiguous"), std::string::npos);
    EXPECT_EQ(history({"show", "--target", "app", "--commit", "HEAD~x"}).exit_code, 2);
    EXPECT_EQ(history({"frobnicate"}).exit_code, 2);
    EXPECT_EQ(history({"list", "--format", "xml"}).exit_code, 2);
    EXPECT_EQ(history({"add", "--report", "base.json", "--target", "app", "--commit", "c", "--time",
                       "yesterday"})
                  .exit_code,
              2);
    EXPECT_EQ(history({"add", "--report", "base.json", "--target", "app", "--commit", "c",
                       "--label", "novalue"})
                  .exit_code,
              2);
}

TEST_P(HistoryCommands, TrendAndBlameFollowTheBuildsOfTheBranch) {
    add_both();
    const process_result csv = history({"trend", "--target", "app", "--area", "Prg seg0", "--area",
                                        "Ram seg0", "--branch", "main"});
    EXPECT_EQ(csv.exit_code, 0);
    EXPECT_EQ(csv.output,
              "commit,parent,time,area,kind,used,size\n"
              "1111aaaa,,2026-12-01T10:00:00Z,Prg seg0,program,233196,524288\n"
              "1111aaaa,,2026-12-01T10:00:00Z,Ram seg0,ram,21224,24576\n"
              "2222bbbb,1111aaaa,2026-12-02T10:00:00Z,Prg seg0,program,234476,524288\n"
              "2222bbbb,1111aaaa,2026-12-02T10:00:00Z,Ram seg0,ram,21480,24576\n");
    const nlohmann::json json =
        nlohmann::json::parse(history({"trend", "--target", "app", "--format", "json"}).output);
    EXPECT_EQ(json["areas"].size(), 6u);
    EXPECT_EQ(json["areas"][1]["used"], nlohmann::json::parse("[80768, 80256]"));
    EXPECT_EQ(history({"trend", "--target", "app", "--area", "nowhere"}).exit_code, 4);
    EXPECT_EQ(history({"trend", "--target", "app", "--branch", "nowhere"}).exit_code, 4);

    const process_result blame = history({"blame", "--target", "app", "--area", "Prg seg1"});
    EXPECT_EQ(blame.exit_code, 0);
    EXPECT_EQ(blame.output,
              "Largest steps of Prg seg1 in app (1 of 1):\n\n"
              "      -512  2222bbbb  parent 1111aaaa  (80768 -> 80256)\n"
              "                  -512  shrank  .rodata\n");
}

// The page carries the same trend as the JSON; the browser tests check how it is drawn.
TEST_P(HistoryCommands, TrendWritesThePageBesideItsCsvAndRefusesAnUnwritableOne) {
    add_both();
    const process_result run = history({"trend", "--target", "app", "--html", "trend.html"});
    EXPECT_EQ(run.exit_code, 0) << run.error_output;
    EXPECT_NE(run.output.find("commit,parent,time,area,kind,used,size\n"), std::string::npos);
    const std::string page = dir.read("trend.html");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("\"2222bbbb\""), std::string::npos);
    EXPECT_NE(page.find("[233196,234476]"), std::string::npos);

    const process_result missing =
        history({"trend", "--target", "app", "--html", "missing/trend.html"});
    EXPECT_EQ(missing.exit_code, 3);
    EXPECT_EQ(missing.output, "");
    EXPECT_EQ(missing.error_output,
              "tarvel-history: cannot write the trend page 'missing/trend.html': the directory "
              "'missing' does not exist\n");
    EXPECT_EQ(history({"trend", "--target", "app", "--html", ""}).exit_code, 2);
}

TEST_P(HistoryCommands, PruneDropsOldEntryListsAndCompareThenComparesTheSummaries) {
    add_both();
    const process_result pruned = history({"prune", "--keep-entries", "1"});
    EXPECT_EQ(pruned.exit_code, 0);
    EXPECT_EQ(pruned.output,
              "Dropped the entry lists of 1 build; every build's summary is kept.\n");
    EXPECT_NE(history({"list"}).output.find("pruned"), std::string::npos);
    const nlohmann::json old =
        nlohmann::json::parse(history({"show", "--target", "app", "--commit", "1111aaaa"}).output);
    EXPECT_TRUE(old["entries"].empty());
    EXPECT_EQ(old["rom"]["used"], 317804);
    const process_result compare =
        history({"compare", "--target", "app", "HEAD~1", "HEAD", "--format", "json"});
    EXPECT_EQ(compare.exit_code, 0);
    EXPECT_NE(compare.error_output.find("was pruned"), std::string::npos);
    EXPECT_TRUE(nlohmann::json::parse(compare.output)["diff"]["entries"].empty());
    EXPECT_EQ(nlohmann::json::parse(compare.output)["diff"]["rom"]["change"], 768);
    const process_result blame = history({"blame", "--target", "app", "--area", "Prg seg0"});
    EXPECT_NE(blame.output.find("entries not kept (pruned)"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Engines, HistoryCommands,
                         ::testing::Values(engine::sqlite, engine::postgresql),
                         [](const auto& info) { return engine_name(info.param); });

}  // namespace
}  // namespace tarvel::test

namespace tarvel::test {
namespace {

TEST(ReportRecord, RecordOptionsNeedEachOther) {
    c_temp_dir dir;
    write_small_puma_input(dir);
    for (const auto& [arguments, message] :
         {std::pair{std::vector<std::string>{"--target", "app"}, "--target needs --record DB"},
          std::pair{std::vector<std::string>{"--record", "h.db", "--target", "app"},
                    "--record needs --target NAME and --commit SHA"}}) {
        const process_result result = run_report(dir, small_puma_with(arguments));
        EXPECT_EQ(result.exit_code, 2);
        EXPECT_EQ(result.error_output, std::string("tarvel-report: ") + message + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "h.db"));
    // A report that cannot be stored fails the run, after its outputs were written.
    dir.write("text.db", "not a database at all");
    const process_result result =
        run_report(dir, small_puma_with({"--json", "a.json", "--record", "text.db", "--target",
                                         "app", "--commit", "c1"}));
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_NE(result.error_output.find("'text.db': file is not a database"), std::string::npos)
        << result.error_output;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "a.json"));
}

}  // namespace
}  // namespace tarvel::test
