// Inputs that the fuzz targets found to crash or to trip a sanitizer, each kept here with the
// behaviour it must have now. The same inputs are seeds in fuzz/corpus/.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/base_report.h"
#include "analysis/budget.h"
#include "analysis/usage_diff.h"
#include "app/budget_check.h"
#include "mapfile/map_file_altium.h"
#include "support/reader_fixture.h"
#include "support/temp_dir.h"
#include "text/line_reader.h"

namespace tarvel {
namespace {

// An empty stream: the reader's buffer had no storage yet and was scanned with a null pointer.
TEST(FuzzFindings, LineReaderOnAnEmptyStreamGivesNoLine) {
    std::istringstream empty;
    c_line_reader lines(&empty);
    std::string_view line = "unchanged";
    EXPECT_FALSE(lines.next(line));
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(lines.next(line));
}

// Any string in a base report: RapidJSON copied the first one onto its empty stack by adding
// to a null pointer (undefined behaviour that clang's UndefinedBehaviorSanitizer reports).
// Strings are decoded in place now; escapes, keys and the positions of errors are as before.
TEST(FuzzFindings, BaseReportStringsAreDecodedWhereTheyStand) {
    const std::string report =
        R"({"format":"tarvel-usage","version":1,"ram":{"used":5},"rom":{"used":7},)"
        R"("areas":[{"name":"A\u00e9","used":3}],"searches":[{"search":"s\t ","bytes":2}],)"
        R"("entries":[{"area":"A\u00e9","name":"\ud83d\ude00\"\\\/<x>","size":3},)"
        R"({"\u0061rea":"B","n\u0061me":"","size":4}]})";
    const c_result<usage_snapshot> snapshot = read_base_report(report);
    ASSERT_TRUE(snapshot.ok()) << snapshot.error().what;
    EXPECT_EQ(snapshot->areas.at(0).label, "A\xC3\xA9");
    EXPECT_EQ(snapshot->searches.at(0).label, "s\t ");
    ASSERT_EQ(snapshot->entries.size(), 2u);
    EXPECT_EQ(snapshot->entries[0].area, "A\xC3\xA9");
    EXPECT_EQ(snapshot->entries[0].name, "\xF0\x9F\x98\x80\"\\/<x>");
    EXPECT_EQ(snapshot->entries[1].area, "B");
    EXPECT_EQ(snapshot->entries[1].name, "");

    // A string cut off by the end of the text, or by a NUL inside it, is no JSON.
    const auto refusal = [](std::string text) {
        const c_result<usage_snapshot> result = read_base_report(std::move(text));
        EXPECT_FALSE(result.ok());
        return result.ok() ? std::string() : result.error().what;
    };
    EXPECT_EQ(
        refusal(R"({"format":"tarvel-us)"),
        "is not valid JSON (at byte 20, the end of the file: Missing a closing quotation mark "
        "in string.)");
    EXPECT_EQ(refusal(std::string("{\"form\0at\":1}", 13)),
              "is not valid JSON (at byte 6: Missing a closing quotation mark in string.)");
    const std::string surrogate = refusal(R"({"a":"\ud800"})");
    EXPECT_EQ(surrogate.rfind("is not valid JSON (at byte ", 0), 0u) << surrogate;
}

// A growth percentage of a few hundred thousand billion: the limit in bytes was converted to a
// 64-bit integer beyond its range (undefined behaviour; on x86 the most negative value, so
// that no growth at all broke the budget). Such a limit is refused, also of a negative base
// figure (only a hand-made base has one); a large one that fits is kept.
TEST(FuzzFindings, AHugeGrowthPercentageIsRefusedNotWrapped) {
    usage_model model;
    usage_diff diff;
    diff.ram = {"", 1000, 1000, 0};
    diff.rom = {"", -1000, 1000, 2000};
    for (const char* text : {"RAM=1000000000000000000%", "ROM=1000000000000000000%"}) {
        const c_result<budget, std::string> rule = parse_budget(text, budget_kind::max_growth);
        ASSERT_TRUE(rule) << rule.error();
        const auto refused = evaluate_budgets({*rule}, model, &diff);
        ASSERT_FALSE(refused) << text;
        EXPECT_EQ(
            budget_problem_message(refused.error(), model),
            std::string("--max-growth: the limit of '").append(text).append("' is too large"));
    }
    const c_result<budget, std::string> rule =
        parse_budget("RAM=1000000000000%", budget_kind::max_growth);
    ASSERT_TRUE(rule) << rule.error();
    const auto results = evaluate_budgets({*rule}, model, &diff);
    ASSERT_TRUE(results);
    EXPECT_EQ(results->at(0).limit_bytes, 10'000'000'000'000);
    EXPECT_FALSE(results->at(0).exceeded);
}

// A base report may hold any 64-bit figure, and the change to this build's figure overflowed
// (undefined behaviour; in practice a large growth became a large shrinking). Changes beyond
// 64 bits are held at +-(2^63 - 1).
TEST(FuzzFindings, ChangesAgainstExtremeBaseFiguresAreHeldAt64Bits) {
    usage_snapshot base;
    base.ram_used = INT64_MIN;
    base.rom_used = INT64_MAX;
    base.areas = {{"A", INT64_MIN}};
    base.entries = {{"A", "e", INT64_MIN}, {"A", "f", 5}};
    usage_snapshot current;
    current.ram_used = 21;
    current.rom_used = -1;
    current.areas = {{"A", 0}};
    current.entries = {{"A", "e", 7}, {"A", "f", INT64_MIN}};
    const usage_diff diff = diff_usage(base, current);
    EXPECT_EQ(diff.ram.change, INT64_MAX);
    EXPECT_EQ(diff.rom.change, -INT64_MAX);
    ASSERT_EQ(diff.areas.size(), 1u);
    EXPECT_EQ(diff.areas[0].change, INT64_MAX);
    ASSERT_EQ(diff.entries.size(), 2u);
    EXPECT_EQ(diff.entries[0].name, "e");
    EXPECT_EQ(diff.entries[0].status, entry_status::grew);
    EXPECT_EQ(diff.entries[0].change(), INT64_MAX);
    EXPECT_EQ(diff.entries[1].status, entry_status::shrank);
    EXPECT_EQ(diff.entries[1].change(), -INT64_MAX);
    const usage_diff back = diff_usage(current, base);
    EXPECT_EQ(back.ram.change, -INT64_MAX);
    EXPECT_EQ(back.rom.change, INT64_MAX);
}

// A bit variable of an Orca map in a program area: program memory counts every entry's size in
// bytes, a bit variable's too (as tarvel's report always has), but the entry kept its bit mark,
// so that the JSON and CSV reports listed as 1 bit what the area's used bytes counted as 1
// byte. Placed in a program area, an entry is an entry of bytes; in RAM it stays a bit.
TEST(FuzzFindings, ABitVariableInProgramMemoryIsCountedAndListedInBytes) {
    const std::string map =
        "Memory map of app.abs\n"
        "\n"
        "Name                            Addr    Space Type     Size    Module\n"
        "----------------------------------------------------------------------\n"
        "_rom_flag.......................000400  BIT  BIT      000001  module.obj\n"
        "_ram_flag.......................220001  BIT  BIT      000003  module.obj\n";
    c_memory_def def;
    def.program = {{0x0000, 0x8000, no_area}};
    def.memory = {{0x220000, 0x80, no_area}};
    const test::parse_result r = test::parse_map<c_map_file_altium>(def, map);
    ASSERT_EQ(r.program.size(), 1u);
    EXPECT_EQ(r.program[0].name, "_rom_flag");
    EXPECT_EQ(r.program[0].size, 1u);
    EXPECT_EQ(r.program[0].is_bit, 0);
    ASSERT_EQ(r.memory.size(), 1u);
    EXPECT_EQ(r.memory[0].is_bit, 1);
}

}  // namespace
}  // namespace tarvel
