// End-to-end tests of budgets (--max, --max-growth TARGET=LIMIT) that are no budget: unknown
// targets, negative, malformed and huge limits, percentages over 100; and the edges that are
// budgets: a limit of zero, a growth of more than 100%, the largest limit.
#include <gtest/gtest.h>

#include <string>

#include "e2e/report_bad_input_support.h"

namespace tarvel::test {
namespace {

class ReportBadBudget : public ReportBadInput {
  protected:
    ReportBadBudget() {
        EXPECT_EQ(run_report(dir, small_puma_with({"--json", "base.json"})).exit_code, 0);
        // The next build: .text of 2600 bytes more, 250% of the base's 1040 bytes of ROM.
        dir.write("grown.map", dir.read("a.map") + "  6  .text  00000A28  00000410  x\n  AX\n");
    }

    void expect_budget_refused(const std::string& option, const std::string& budget,
                               const std::string& reason) {
        std::vector<std::string> arguments = small_puma_with({option, budget});
        if (option == "--max-growth") {
            arguments.insert(arguments.end(), {"--diff", "base.json"});
        }
        expect_refused(arguments, 2, "tarvel-report: " + option + ": " + reason + "\n");
    }

    process_result run_grown(const std::vector<std::string>& more) {
        std::vector<std::string> arguments{"--type", "Puma",      "--def",  "t.def",
                                           "--map",  "grown.map", "--diff", "base.json"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return run_report(dir, arguments);
    }
};

TEST_F(ReportBadBudget, ATargetThatNamesNothingIsAUsageError) {
    const std::string known =
        " names nothing of this report (RAM, ROM, Prg seg0, Ram seg0, "
        "'text', '|data |text')\n";
    // Neither RAM, ROM, an area nor a search; names are case-sensitive, and a search is its
    // whole text.
    for (const char* target : {"Flash", "rom", "Prg seg1", "Prg", "data", "|data", "text !x"}) {
        expect_refused(small_puma_with({"--max", std::string(target) + "=1"}), 2,
                       "tarvel-report: the budget target '" + std::string(target) + "'" + known);
    }
    expect_refused(small_puma_with({"--diff", "base.json", "--max-growth", "Flash=1"}), 2,
                   "tarvel-report: the budget target 'Flash'" + known);
    // "ROM==5" is the target "ROM=" with the limit 5.
    expect_refused(small_puma_with({"--max", "ROM==5"}), 2,
                   "tarvel-report: the budget target 'ROM='" + known);
}

TEST_F(ReportBadBudget, MalformedAndNegativeLimitsAreUsageErrors) {
    const std::string no_number =
        "' is no number of bytes (such as 20000, 480KiB, 1MiB) or percentage (90%)";
    for (const char* budget : {"ROM=12XB", "ROM=12 K i B", "RAM=", "ROM=1e3", "ROM=0x10", "ROM=.5",
                               "ROM=1.5.5", "ROM=12KIB", "ROM=inf", "ROM=nan", "ROM=1,5KiB"}) {
        expect_budget_refused("--max", budget, "the limit of '" + std::string(budget) + no_number);
    }
    expect_budget_refused("--max-growth", "ROM=12XB", "the limit of 'ROM=12XB" + no_number);
    expect_budget_refused("--max", "", "'' is not TARGET=LIMIT");
    expect_budget_refused("--max", "ROM", "'ROM' is not TARGET=LIMIT");
    expect_budget_refused("--max", "=", "'=' names no target before '='");
    expect_budget_refused("--max", "=10", "'=10' names no target before '='");
    expect_budget_refused("--max", " =10", "' =10' names no target before '='");
    expect_budget_refused("--max", "ROM=x%", "the limit of 'ROM=x%' is no percentage");
    expect_budget_refused("--max", "ROM=%", "the limit of 'ROM=%' is no percentage");
    for (const char* budget : {"ROM=-1", "ROM=-0", "ROM=-1KiB", "ROM=-5%"}) {
        expect_budget_refused("--max", budget,
                              "the limit of '" + std::string(budget) + "' is negative");
    }
    // A growth budget cannot ask for shrinking.
    expect_budget_refused("--max-growth", "ROM=-100", "the limit of 'ROM=-100' is negative");
}

TEST_F(ReportBadBudget, HugeLimitsAreRefusedNotWrapped) {
    for (const char* budget : {"ROM=99999999999999999999GiB", "ROM=18446744073709551616",
                               "ROM=1000000000000001", "ROM=1000000GiB"}) {
        expect_budget_refused("--max", budget,
                              "the limit of '" + std::string(budget) + "' is too large");
        expect_budget_refused("--max-growth", budget,
                              "the limit of '" + std::string(budget) + "' is too large");
    }
    // A growth percentage has no bound of its own; its bytes of the base value must fit.
    expect_budget_refused("--max-growth", "ROM=1000000000000000000000%",
                          "the limit of 'ROM=1000000000000000000000%' is too large");
    // The largest limit is one.
    const process_result largest =
        run_report(dir, small_puma_with({"--max", "ROM=1000000000000000"}));
    EXPECT_EQ(largest.exit_code, 0) << largest.error_output;
    EXPECT_NE(largest.output.find(native_lines("  ROM <= 1000000000000000: 1040 bytes, kept\n")),
              std::string::npos);
}

TEST_F(ReportBadBudget, ZeroIsALimitThatOnlyNothingKeeps) {
    dir.write("z.def", "PROGRAM 0 1000\nPROGRAM 2000 100\nMEMORY 3FF0000 100\nSEARCH text\n");
    const std::vector<std::string> input{"--type", "Puma", "--def", "z.def", "--map", "a.map"};
    std::vector<std::string> kept = input;
    kept.insert(kept.end(), {"--max", "Prg seg1=0", "--max", "Prg seg1=0%", "--max", "ROM=0KiB"});
    const process_result result = run_report(dir, kept);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.output.find(native_lines("Budgets:\n"
                                              "  Prg seg1 <= 0: 0 bytes, kept\n"
                                              "  Prg seg1 <= 0% (0 bytes): 0 bytes, kept\n"
                                              "  ROM <= 0KiB (0 bytes): 1040 bytes, EXCEEDED\n")),
              std::string::npos)
        << result.output;
    EXPECT_EQ(result.error_output,
              native_lines("tarvel-report: budget exceeded: ROM <= 0KiB (0 bytes), but used 1040 "
                           "bytes\n"));
    // No growth keeps a growth limit of zero; a byte more exceeds it.
    EXPECT_EQ(run_report(dir, small_puma_with({"--diff", "base.json", "--max-growth", "ROM=0"}))
                  .exit_code,
              0);
    const process_result grown = run_grown({"--max-growth", "ROM=0"});
    EXPECT_EQ(grown.exit_code, 1);
    EXPECT_EQ(grown.error_output,
              native_lines("tarvel-report: budget exceeded: ROM growth <= 0, but grew by 2600 "
                           "bytes\n"));
}

TEST_F(ReportBadBudget, PercentagesOver100AreForGrowthOnly) {
    expect_budget_refused("--max", "ROM=100.1%",
                          "the limit of 'ROM=100.1%' is more than 100% of the target's total");
    expect_budget_refused("--max", "text=250%",
                          "the limit of 'text=250%' is more than 100% of the target's total");
    EXPECT_EQ(run_report(dir, small_puma_with({"--max", "ROM=100%"})).exit_code, 0);
    // Growth may be any share of the base value: 2600 bytes are 250% of 1040.
    const process_result kept = run_grown({"--max-growth", "ROM=250%"});
    EXPECT_EQ(kept.exit_code, 0) << kept.error_output;
    EXPECT_NE(
        kept.output.find(native_lines("  ROM growth <= 250% (2600 bytes): 2600 bytes, kept\n")),
        std::string::npos)
        << kept.output;
    const process_result exceeded = run_grown({"--max-growth", "ROM=249.9%"});
    EXPECT_EQ(exceeded.exit_code, 1);
    EXPECT_EQ(exceeded.error_output,
              native_lines("tarvel-report: budget exceeded: ROM growth <= 249.9% (2598 bytes), "
                           "but grew by 2600 bytes\n"));
    // A vast percentage that still fits is kept, not wrapped to a negative limit.
    const process_result vast = run_grown({"--max-growth", "ROM=1000000000000%"});
    EXPECT_EQ(vast.exit_code, 0) << vast.error_output;
    EXPECT_NE(vast.output.find(native_lines("  ROM growth <= 1000000000000% (10400000000000 "
                                            "bytes): 2600 bytes, kept\n")),
              std::string::npos)
        << vast.output;
}

}  // namespace
}  // namespace tarvel::test
