#include "analysis/budget.h"
#include "app/budget_check.h"

#include <gtest/gtest.h>

#include "support/sample_model.h"

namespace tarvel {
namespace {

budget parsed(std::string_view text, budget_kind kind = budget_kind::max) {
    const c_result<budget, std::string> result = parse_budget(text, kind);
    EXPECT_TRUE(result) << text << ": " << result.error();
    return result ? *result : budget{};
}

std::string refused(std::string_view text, budget_kind kind = budget_kind::max) {
    const c_result<budget, std::string> result = parse_budget(text, kind);
    EXPECT_FALSE(result) << text;
    return result ? std::string() : result.error();
}

TEST(ParseBudget, BytesWithAndWithoutUnits) {
    const struct {
        const char* text;
        double bytes;
    } cases[] = {
        {"ROM=20000", 20000},
        {"ROM=480KiB", 480 * 1024},
        {"ROM=1MiB", 1024 * 1024},
        {"ROM=1.5MiB", 1572864},
        {"ROM=10kB", 10000},
        {"ROM=2MB", 2000000},
        {"ROM=1GiB", 1073741824.0},
        {"ROM=3GB", 3e9},
        {"ROM=7B", 7},
        {"ROM=0", 0},
        {"ROM=1.7", 1},  // whole bytes, rounded down
        {"ROM=0.3KiB", 307},
        {"ROM = 12 KiB ", 12288},
    };
    for (const auto& c : cases) {
        const budget rule = parsed(c.text);
        EXPECT_EQ(rule.limit.kind, budget_limit::unit::bytes) << c.text;
        EXPECT_EQ(rule.limit.value, c.bytes) << c.text;
        EXPECT_EQ(rule.target, "ROM") << c.text;
    }
}

TEST(ParseBudget, PercentagesTargetsAndTheTextAsGiven) {
    const budget ninety = parsed("RAM=90%");
    EXPECT_EQ(ninety.limit.kind, budget_limit::unit::percent);
    EXPECT_EQ(ninety.limit.value, 90);
    EXPECT_EQ(ninety.limit_text, "90%");
    EXPECT_EQ(ninety.kind, budget_kind::max);
    EXPECT_EQ(parsed("RAM=12.5%").limit.value, 12.5);
    EXPECT_EQ(parsed("RAM=100%").limit.value, 100);
    // More than the whole is a growth a budget may allow.
    const budget growth = parsed("ROM=150%", budget_kind::max_growth);
    EXPECT_EQ(growth.kind, budget_kind::max_growth);
    EXPECT_EQ(growth.limit.value, 150);

    // The target is everything before the last "=", without surrounding blanks: a search's
    // text may hold blanks and "=".
    const budget search = parsed(" text !DFALib = x =  4KiB");
    EXPECT_EQ(search.target, "text !DFALib = x");
    EXPECT_EQ(search.limit_text, "4KiB");
    EXPECT_EQ(parsed("Prg seg0=1").target, "Prg seg0");
}

TEST(ParseBudget, MalformedBudgetsAreRefusedWithTheReason) {
    EXPECT_EQ(refused("ROM20000"), "'ROM20000' is not TARGET=LIMIT");
    EXPECT_EQ(refused("=20000"), "'=20000' names no target before '='");
    EXPECT_EQ(refused("  =1"), "'  =1' names no target before '='");
    EXPECT_EQ(refused("ROM=-5"), "the limit of 'ROM=-5' is negative");
    EXPECT_EQ(refused("ROM=-5%", budget_kind::max_growth), "the limit of 'ROM=-5%' is negative");
    const std::string no_number =
        "' is no number of bytes (such as 20000, 480KiB, 1MiB) or percentage (90%)";
    for (const char* text :
         {"ROM=12XB", "ROM=1..5KiB", "ROM=KiB", "ROM=", "ROM=.5", "ROM=5.", "ROM=1e3", "ROM=0x10",
          "ROM=12 34", "ROM=KiB12", "ROM=5kib", "ROM=+5", "ROM=inf", "ROM=nan"}) {
        EXPECT_EQ(refused(text), std::string("the limit of '") + text + no_number) << text;
    }
    for (const char* text : {"RAM=%", "RAM=x%", "RAM=1.2.3%", "RAM=5KiB%"}) {
        EXPECT_EQ(refused(text), std::string("the limit of '") + text + "' is no percentage")
            << text;
    }
    EXPECT_EQ(refused("RAM=100.1%"),
              "the limit of 'RAM=100.1%' is more than 100% of the target's total");
    EXPECT_EQ(refused("RAM=99999999999999999999"),
              "the limit of 'RAM=99999999999999999999' is too large");
    EXPECT_EQ(refused("RAM=1000000GiB"), "the limit of 'RAM=1000000GiB' is too large");
    // A long run of digits is no reason to fail in another way.
    refused("RAM=" + std::string(400, '9'));
}

class EvaluateBudgets : public ::testing::Test {
  protected:
    // Evaluates one budget and gives its result; fails the test when it is refused.
    budget_result evaluate(std::string_view text, budget_kind kind = budget_kind::max,
                           const usage_diff* diff = nullptr) {
        const auto results = evaluate_budgets({parsed(text, kind)}, model, diff);
        EXPECT_TRUE(results) << budget_problem_message(results.error(), model);
        return !results || results->empty() ? budget_result{} : results->front();
    }

    test::c_model_builder build;
    usage_model& model = test::build_sample_model(build);
};

TEST_F(EvaluateBudgets, UsedBytesOfRamRomAreasAndSearches) {
    const budget_result rom = evaluate("ROM=1224");
    EXPECT_EQ(rom.figure, 1224);
    EXPECT_EQ(rom.limit_bytes, 1224);
    EXPECT_FALSE(rom.exceeded);  // at the limit is within it
    EXPECT_TRUE(evaluate("ROM=1223").exceeded);
    EXPECT_EQ(evaluate("ROM=1KiB").limit_bytes, 1024);

    // RAM counts its 10 bits as the report prints them: 101.25 bytes, 101.
    EXPECT_EQ(evaluate("RAM=101").figure, 101);
    EXPECT_FALSE(evaluate("RAM=101").exceeded);
    EXPECT_EQ(evaluate("Ram seg0=100").figure, 101);
    EXPECT_TRUE(evaluate("Ram seg0=100").exceeded);
    EXPECT_EQ(evaluate("Prg seg0=2000").figure, 1224);
    EXPECT_EQ(evaluate("Eep seg0=0").figure, 0);

    // A search is named by its text, with or without the closing blank.
    EXPECT_EQ(evaluate("App=999").figure, 1000);
    EXPECT_TRUE(evaluate("App=999").exceeded);
    EXPECT_EQ(evaluate("App =1000").figure, 1000);
    EXPECT_EQ(evaluate("|Os |App=200").figure, 200);
}

TEST_F(EvaluateBudgets, PercentagesOfTheTargetsTotal) {
    // 90% of 4096 bytes of ROM, rounded down.
    const budget_result rom = evaluate("ROM=90%");
    EXPECT_EQ(rom.limit_bytes, 3686);
    EXPECT_FALSE(rom.exceeded);
    EXPECT_EQ(evaluate("ROM=29.8%").limit_bytes, 1220);
    EXPECT_TRUE(evaluate("ROM=29.8%").exceeded);
    EXPECT_EQ(evaluate("RAM=39.5%").limit_bytes, 101);  // 101.12 of 256
    EXPECT_FALSE(evaluate("RAM=39.5%").exceeded);
    EXPECT_EQ(evaluate("Eep seg0=50%").limit_bytes, 64);
    // A search's share is of the used ROM (1224 bytes), as the breakdown prints it.
    EXPECT_EQ(evaluate("App=80%").limit_bytes, 979);
    EXPECT_TRUE(evaluate("App=80%").exceeded);
}

TEST_F(EvaluateBudgets, GrowthInBytesAndInPercentOfTheBaseValue) {
    usage_snapshot base = snapshot_of(model);
    base.rom_used = 1000;
    base.areas[0].bytes = 1000;  // Prg seg0
    base.areas[1].bytes = 0;     // Ram seg0 was empty
    base.searches[0].bytes = 1100;
    const usage_snapshot current = snapshot_of(model);
    const usage_diff diff = diff_usage(base, current);

    const budget_result rom = evaluate("ROM=224", budget_kind::max_growth, &diff);
    EXPECT_EQ(rom.figure, 224);
    EXPECT_FALSE(rom.exceeded);
    EXPECT_TRUE(evaluate("ROM=223", budget_kind::max_growth, &diff).exceeded);
    // 22.4% of the 1000 bytes before.
    EXPECT_EQ(evaluate("Prg seg0=22.4%", budget_kind::max_growth, &diff).limit_bytes, 224);
    EXPECT_TRUE(evaluate("Prg seg0=22.3%", budget_kind::max_growth, &diff).exceeded);
    EXPECT_FALSE(evaluate("Prg seg0=150%", budget_kind::max_growth, &diff).exceeded);
    // From nothing, any percentage allows no growth.
    const budget_result from_empty = evaluate("Ram seg0=1000%", budget_kind::max_growth, &diff);
    EXPECT_EQ(from_empty.figure, 101);
    EXPECT_EQ(from_empty.limit_bytes, 0);
    EXPECT_TRUE(from_empty.exceeded);
    // Shrinking keeps every growth budget.
    const budget_result search = evaluate("App=0", budget_kind::max_growth, &diff);
    EXPECT_EQ(search.figure, -100);
    EXPECT_FALSE(search.exceeded);
    EXPECT_EQ(evaluate("RAM=0", budget_kind::max_growth, &diff).figure, 0);
}

TEST_F(EvaluateBudgets, TargetsTheBaseLackedGrewFromNothing) {
    usage_snapshot base = snapshot_of(model);
    base.areas.erase(base.areas.begin());  // no Prg seg0 in the base
    const usage_snapshot current = snapshot_of(model);
    const usage_diff diff = diff_usage(base, current);
    const budget_result area = evaluate("Prg seg0=1000", budget_kind::max_growth, &diff);
    EXPECT_EQ(area.figure, 1224);
    EXPECT_TRUE(area.exceeded);
}

TEST_F(EvaluateBudgets, UnknownTargetsAreRefusedNamingTheKnownOnes) {
    const auto refused = evaluate_budgets({parsed("ROM=1"), parsed("Flash=1")}, model, nullptr);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().rule.target, "Flash");
    EXPECT_EQ(budget_problem_message(refused.error(), model),
              "the budget target 'Flash' names nothing of this report (RAM, ROM, Prg seg0, Ram "
              "seg0, Eep seg0, 'App', '|Os |App')");
    // Names are compared exactly.
    EXPECT_FALSE(evaluate_budgets({parsed("rom=1")}, model, nullptr));
    EXPECT_FALSE(evaluate_budgets({parsed("Prg seg=1")}, model, nullptr));
}

TEST_F(EvaluateBudgets, EveryBudgetGivesAResultInTheOrderGiven) {
    const auto evaluated =
        evaluate_budgets({parsed("ROM=1"), parsed("RAM=90%"), parsed("App=1KiB")}, model, nullptr);
    ASSERT_TRUE(evaluated);
    const std::vector<budget_result>& results = *evaluated;
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].rule.target, "ROM");
    EXPECT_TRUE(results[0].exceeded);
    EXPECT_EQ(results[1].rule.target, "RAM");
    EXPECT_FALSE(results[1].exceeded);
    EXPECT_EQ(results[2].figure, 1000);
    EXPECT_FALSE(results[2].exceeded);
}

}  // namespace
}  // namespace tarvel
