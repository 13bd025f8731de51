// End-to-end tests of tarvel-report's comparison with an earlier build (--diff) and of its
// budgets (--max, --max-growth): the sections they add, and exit code 1 for a budget exceeded.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/report_run.h"

namespace tarvel::test {
namespace {

// The next build of the small Puma input: .text grew by 0x20, .rodata is gone, .sdata is new.
const std::string next_map =
    "  1  .text  00000320  00000000  x\n  AX\n"
    "  3  .bss  00000040  03FF0000  x\n  WA\n"
    "  4  .text  00000010  00000400  x\n  AX\n"
    "  6  .sdata  00000008  00000500  x\n  WA\n";

class ReportDiffAndBudgets : public ::testing::Test {
  protected:
    ReportDiffAndBudgets() {
        write_small_puma_input(dir);
        dir.write("b.map", next_map);
        EXPECT_EQ(run_report(dir, small_puma_with({"--json", "base.json"})).exit_code, 0);
    }

    process_result run_next(const std::vector<std::string>& more) {
        std::vector<std::string> arguments{"--type", "Puma", "--def", "t.def", "--map", "b.map"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run_report(dir, arguments);
    }

    // The end of the text report, from its line `from` on.
    static std::string tail_from(const std::string& text, const std::string& from) {
        const std::size_t at = text.find(native_lines(from));
        return at == std::string::npos ? "(no \"" + from + "\" in)\n" + text : text.substr(at);
    }

    c_temp_dir dir;
};

const std::string next_changes =
    "Changes against base.json:\n"
    "                            Before       After      Change\n"
    "  RAM                           64          64           0  +0.0%\n"
    "  ROM                         1040         824        -216  -20.8%\n"
    "  Prg seg0                    1040         824        -216  -20.8%\n"
    "  Ram seg0                      64          64           0  +0.0%\n"
    "  Search text                  768         800         +32  +4.2%\n"
    "  Search |data |text           256           8        -248  -96.9%\n"
    "\n"
    "Largest entry changes (3 of 3):\n"
    "        -256  removed Prg seg0  .rodata  (256 -> 0)\n"
    "         +32  grew    Prg seg0  .text  (768 -> 800)\n"
    "          +8  added   Prg seg0  .sdata  (0 -> 8)\n"
    "\n";

TEST_F(ReportDiffAndBudgets, DiffSectionEndsTheTextReport) {
    const process_result result = run_next({"--diff", "base.json"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.error_output, "");
    EXPECT_EQ(tail_from(result.output, "Changes against"), native_lines(next_changes));

    // Entry changes are bounded by --top as well.
    const process_result top = run_next({"--diff", "base.json", "--top", "1"});
    EXPECT_NE(top.output.find(native_lines("Largest entry changes (1 of 3):\n"
                                           "        -256  removed Prg seg0  .rodata  (256 -> 0)\n"
                                           "\n")),
              std::string::npos)
        << top.output;
}

TEST_F(ReportDiffAndBudgets, TheSameBuildHasNoChangedEntry) {
    const process_result result = run_report(dir, small_puma_with({"--diff", "base.json"}));
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_NE(result.output.find(native_lines(
                  "  ROM                         1040        1040           0  +0.0%\n")),
              std::string::npos)
        << result.output;
    const std::string tail = native_lines("\nNo entry changed.\n\n");
    ASSERT_GE(result.output.size(), tail.size());
    EXPECT_EQ(result.output.substr(result.output.size() - tail.size()), tail);
}

TEST_F(ReportDiffAndBudgets, DiffInJsonAndMarkdown) {
    const process_result json_run = run_next({"--diff", "base.json", "--format", "json"});
    EXPECT_EQ(json_run.exit_code, 0);
    const nlohmann::json report = nlohmann::json::parse(json_run.output);
    const nlohmann::json& diff = report.at("diff");
    EXPECT_EQ(diff.at("base"), "base.json");
    EXPECT_EQ(diff.at("rom").at("change"), -216);
    EXPECT_EQ(diff.at("rom").at("change_percent"), -20.8);
    EXPECT_EQ(diff.at("entries").size(), 3u);
    EXPECT_EQ(diff.at("entries")[0].at("name"), ".rodata");
    EXPECT_EQ(diff.at("entries")[0].at("status"), "removed");
    EXPECT_EQ(diff.at("entries")[2].at("change_percent"), nullptr);  // from nothing
    EXPECT_FALSE(report.contains("budgets"));

    const process_result markdown = run_next({"--diff", "base.json", "--format", "markdown"});
    EXPECT_NE(markdown.output.find(native_lines("| **ROM** | 824 | 3272 | 4096 | 20.1% | -216 "
                                                "(-20.8%) |\n")),
              std::string::npos)
        << markdown.output;
    EXPECT_EQ(tail_from(markdown.output, "#### Largest changes"),
              native_lines("#### Largest changes (3 of 3)\n"
                           "\n"
                           "| Area | Entry | Before | After | Change |\n"
                           "|:---|:---|---:|---:|---:|\n"
                           "| Prg seg0 | .rodata | 256 |  | -256 removed |\n"
                           "| Prg seg0 | .text | 768 | 800 | +32 grew |\n"
                           "| Prg seg0 | .sdata |  | 8 | +8 added |\n"
                           "\n"));
}

TEST_F(ReportDiffAndBudgets, BudgetsKeptEndWithZero) {
    const process_result result =
        run_next({"--max", "ROM=1KiB", "--max", "Ram seg0=50%", "--max", "text=1000"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.error_output, "");
    EXPECT_EQ(tail_from(result.output, "Budgets:"),
              native_lines("Budgets:\n"
                           "  ROM <= 1KiB (1024 bytes): 824 bytes, kept\n"
                           "  Ram seg0 <= 50% (128 bytes): 64 bytes, kept\n"
                           "  text <= 1000: 800 bytes, kept\n"
                           "\n"));
}

TEST_F(ReportDiffAndBudgets, ABudgetExceededEndsWithOneAfterTheWholeReport) {
    const process_result result = run_next({"--max", "ROM=800", "--max", "RAM=90%"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(tail_from(result.output, "Budgets:"),
              native_lines("Budgets:\n"
                           "  ROM <= 800: 824 bytes, EXCEEDED\n"
                           "  RAM <= 90% (230 bytes): 64 bytes, kept\n"
                           "\n"));
    EXPECT_EQ(result.error_output,
              native_lines("tarvel-report: budget exceeded: ROM <= 800, but used 824 bytes\n"));
}

TEST_F(ReportDiffAndBudgets, GrowthBudgetsAgainstTheBase) {
    // "text " grew by 32 bytes: 4% of its 768 bytes before are 30.
    const process_result exceeded = run_next({"--diff", "base.json", "--max-growth", "text=4%",
                                              "--max-growth", "ROM=0", "--max", "ROM=90%"});
    EXPECT_EQ(exceeded.exit_code, 1);
    EXPECT_EQ(tail_from(exceeded.output, "Budgets:"),
              native_lines("Budgets:\n"
                           "  ROM <= 90% (3686 bytes): 824 bytes, kept\n"
                           "  text growth <= 4% (30 bytes): 32 bytes, EXCEEDED\n"
                           "  ROM growth <= 0: -216 bytes, kept\n"
                           "\n"));
    EXPECT_EQ(exceeded.error_output,
              native_lines("tarvel-report: budget exceeded: text growth <= 4% (30 bytes), but "
                           "grew by 32 bytes\n"));

    const process_result kept = run_next({"--diff", "base.json", "--max-growth", "text=32"});
    EXPECT_EQ(kept.exit_code, 0);
    EXPECT_EQ(kept.error_output, "");
}

TEST_F(ReportDiffAndBudgets, EveryExceededBudgetIsNamedAndTheJsonHoldsThemAll) {
    const process_result result =
        run_next({"--diff", "base.json", "--max", "ROM=1", "--max", "RAM=1", "--max-growth",
                  "|data |text=0", "--format", "json"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.error_output,
              native_lines("tarvel-report: budget exceeded: ROM <= 1, but used 824 bytes\n"
                           "tarvel-report: budget exceeded: RAM <= 1, but used 64 bytes\n"));
    const nlohmann::json budgets = nlohmann::json::parse(result.output).at("budgets");
    ASSERT_EQ(budgets.size(), 3u);
    EXPECT_EQ(budgets[0],
              nlohmann::json::parse(R"({"target":"ROM","kind":"max","limit":"1","limit_bytes":1,)"
                                    R"("figure":824,"exceeded":true})"));
    EXPECT_EQ(budgets[2].at("kind"), "max-growth");
    EXPECT_EQ(budgets[2].at("figure"), -248);
    EXPECT_EQ(budgets[2].at("exceeded"), false);
}

}  // namespace
}  // namespace tarvel::test
