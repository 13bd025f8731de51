// End-to-end tests of the files tarvel-report writes: each replaces its target whole, none
// leaves a temporary file behind, and a run that fails leaves the outputs of an earlier run as
// they were.
#include <gtest/gtest.h>

#include "support/report_run.h"

namespace tarvel::test {
namespace {

class ReportOutputFiles : public ::testing::Test {
  protected:
    ReportOutputFiles() {
        write_small_puma_input(dir);
        for (const char* name : {"r.json", "r.csv", "r.md", "amb.txt"}) {
            dir.write(name, std::string("from an earlier run: ") + name);
        }
    }

    const std::vector<std::string> every_file{"--json",     "r.json", "--csv",         "r.csv",
                                              "--markdown", "r.md",   "--ambiguities", "amb.txt"};

    // `more` after the small input and every output file.
    std::vector<std::string> with_every_file(const std::vector<std::string>& more) {
        std::vector<std::string> arguments = small_puma_with(every_file);
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    void expect_earlier_files_unchanged() {
        for (const char* name : {"r.json", "r.csv", "r.md", "amb.txt"}) {
            EXPECT_EQ(dir.read(name), std::string("from an earlier run: ") + name) << name;
        }
    }

    // Only the inputs and the output files are there: no temporary.
    void expect_no_other_files(const std::vector<std::string>& more = {}) {
        std::vector<std::string> expected{"a.map", "amb.txt", "r.csv", "r.json", "r.md", "t.def"};
        expected.insert(expected.end(), more.begin(), more.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(files_in(dir.path()), expected);
    }

    c_temp_dir dir;
};

TEST_F(ReportOutputFiles, ASuccessfulRunReplacesEveryFile) {
    const process_result result = run_report(dir, with_every_file({}));
    EXPECT_EQ(result.exit_code, 0);
    for (const char* name : {"r.json", "r.csv", "r.md", "amb.txt"}) {
        EXPECT_EQ(dir.read(name).find("from an earlier run"), std::string::npos) << name;
    }
    EXPECT_EQ(dir.read("r.json").substr(0, 23), R"({"format":"tarvel-usage)");
    EXPECT_EQ(dir.read("r.csv").substr(0, 10), "area,name,");
    expect_no_other_files();
}

TEST_F(ReportOutputFiles, ARunEndingWithABudgetExceededStillWritesEveryFile) {
    const process_result result = run_report(dir, with_every_file({"--max", "ROM=1KiB"}));
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(dir.read("r.json").find(R"("budgets":[{"target":"ROM","kind":"max")"),
              std::string::npos);
    EXPECT_NE(dir.read("r.md").find("| ROM &lt;= 1KiB (1024 bytes) | 1040 | **exceeded** |"),
              std::string::npos);
    expect_no_other_files();
}

TEST_F(ReportOutputFiles, FailedRunsLeaveTheEarlierFilesAsTheyWere) {
    dir.write("bad.json", "{");
    dir.write("far.def", "PROGRAM 10000000 10\n");
    const std::vector<std::vector<std::string>> failing{
        with_every_file({"--top", "-1"}),               // 2: wrong command line
        with_every_file({"--max", "ROM=lots"}),         // 2: a budget that is none
        with_every_file({"--max", "Flash=1"}),          // 2: a budget of nothing
        with_every_file({"--diff", "bad.json"}),        // 3: a base that is no JSON
        with_every_file({"--eep", "none.src"}),         // 3: a missing input
        with_every_file({"--html", "missing/r.html"}),  // 3: one output not writable
        {"--type", "Puma", "--def", "far.def", "--map", "a.map", "--json", "r.json"},  // 4
    };
    for (const std::vector<std::string>& arguments : failing) {
        const process_result result = run_report(dir, arguments);
        EXPECT_GE(result.exit_code, 2) << result.error_output;
        expect_earlier_files_unchanged();
        expect_no_other_files({"bad.json", "far.def"});
    }
}

TEST_F(ReportOutputFiles, AnOutputThatCannotBeWrittenStopsTheRunBeforeAnyIsReplaced) {
    // The JSON comes first on the command line and could be written; the CSV cannot.
    const process_result result =
        run_report(dir, small_puma_with({"--json", "r.json", "--ambiguities", "amb.txt", "--csv",
                                         "missing/r.csv"}));
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(
        result.error_output,
        native_lines("tarvel-report: cannot write the csv report 'missing/r.csv': the directory "
                     "'missing' does not exist\n"));
    expect_earlier_files_unchanged();
    expect_no_other_files();
}

TEST_F(ReportOutputFiles, AFileMayBeWrittenBesideTheInputsInAnotherDirectory) {
    std::filesystem::create_directories(dir.path() / "out" / "deep");
    const process_result result =
        run_report(dir, small_puma_with({"--json", "out/deep/r.json", "--format", "csv"}));
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(files_in(dir.path() / "out" / "deep"), (std::vector<std::string>{"r.json"}));
    // Writing again replaces the file; the old one is not kept.
    EXPECT_EQ(run_report(dir, small_puma_with({"--json", "out/deep/r.json"})).exit_code, 0);
    EXPECT_EQ(files_in(dir.path() / "out" / "deep"), (std::vector<std::string>{"r.json"}));
}

}  // namespace
}  // namespace tarvel::test
