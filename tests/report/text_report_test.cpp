#include "report/text_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "analysis/usage_diff.h"
#include "report/memory_report.h"
#include "support/report_contexts.h"
#include "support/sample_model.h"

namespace tarvel {
namespace {

std::string text_of(const usage_model& model, report_context extras,
                    const std::string* ambiguity_file = nullptr) {
    std::ostringstream out;
    extras.ambiguity_file = ambiguity_file;
    render_text_report(out, test::with_model(extras, model));
    return out.str();
}

std::string memory_report_of(const usage_model& model, const std::string* ambiguity_file) {
    std::ostringstream out;
    render_memory_report(out, model, ambiguity_file);
    return out.str();
}

// A line of the diff's table: the label in `width` columns, then the figures in 12 each.
std::string change_line(std::size_t width, std::string label, const std::string& before,
                        const std::string& after, const std::string& change,
                        const std::string& percent) {
    label.resize(std::max(label.size(), width), ' ');
    const auto right = [](const std::string& text) {
        return std::string(text.size() < 12 ? 12 - text.size() : 0, ' ') + text;
    };
    return "  " + label + right(before) + right(after) + right(change) + "  " + percent + "\n";
}

class TextReport : public ::testing::Test {
  protected:
    test::c_model_builder build;
    usage_model& model = test::build_sample_model(build);
    const std::string heading = "Orca map a.map\nDefinition: t.def\n\n";
    const std::string ram_areas =
        "RAM areas:\n"
        "  Ram seg0:     Used         101, Free         155, Total        256, Pct Used:  39.5%\n"
        "\n";
};

TEST_F(TextReport, HeadingMemoryReportRamAreasAndLargestEntries) {
    const std::string amb = "out/amb.txt";
    EXPECT_EQ(text_of(model, test::extras(nullptr, nullptr, 2), &amb),
              heading + memory_report_of(model, &amb) + ram_areas +
                  "Largest entries of Prg seg0 (2 of 3):\n"
                  "        1000  0x00001000  App_Main  [App]\n"
                  "         200  0x00001400  Os_Tick  [|Os |App]  libos.a(tick.o)\n"
                  "\n"
                  "Largest entries of Ram seg0 (2 of 2):\n"
                  "         100  0x00008000  buffer\n"
                  "          10 bits  0x00008080  flag\n"
                  "\n"
                  "Entries in no area: 1\n"
                  "           8  0x00020000  far\n"
                  "\n");
    // The memory report is the one tarvel prints, with the file the records went to.
    EXPECT_NE(
        memory_report_of(model, &amb).find("See ambiguous search result file in out/amb.txt."),
        std::string::npos);
}

TEST_F(TextReport, TopBoundsEveryListAndZeroShowsNone) {
    const std::string one = text_of(model, test::extras(nullptr, nullptr, 1));
    EXPECT_NE(one.find("Largest entries of Prg seg0 (1 of 3):\n"
                       "        1000  0x00001000  App_Main  [App]\n\n"),
              std::string::npos)
        << one;
    EXPECT_NE(one.find("Largest entries of Ram seg0 (1 of 2):\n"
                       "         100  0x00008000  buffer\n\n"),
              std::string::npos);
    const std::string all = text_of(model, test::extras(nullptr, nullptr, 100));
    EXPECT_NE(all.find("Largest entries of Prg seg0 (3 of 3):\n"), std::string::npos);
    EXPECT_NE(all.find("          24  0x00001600  Lib\"x  lib.o\n"), std::string::npos);

    EXPECT_EQ(text_of(model, test::extras(nullptr, nullptr, 0)),
              heading + memory_report_of(model, nullptr) + ram_areas + "Entries in no area: 1\n\n");
}

TEST_F(TextReport, EqualSizesKeepAddressOrder) {
    test::c_model_builder other;
    other.program(0, 0x100).entry("c", 0x20, 8).entry("a", 0x00, 8).entry("b", 0x10, 16);
    usage_model& equal = other.done();
    equal.input = {"Puma", true, "", "m.map", ""};
    const std::string text = text_of(equal, test::extras(nullptr, nullptr, 3));
    EXPECT_EQ(text.substr(0, 70),
              "Puma map m.map (type detected)\nAreas: the map's memory regions\n\n"
              "******");
    EXPECT_NE(text.find("Largest entries of Prg seg0 (3 of 3):\n"
                        "          16  0x00000010  b\n"
                        "           8  0x00000000  a\n"
                        "           8  0x00000020  c\n\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("RAM areas:"), std::string::npos);  // no RAM area, no section
}

TEST_F(TextReport, BitVariablesCompareByWhatTheyTake) {
    test::c_model_builder other;
    other.ram(0, 0x100).entry("flags", 0x00, 200, true).entry("buffer", 0x40, 100);
    other.entry("nine", 0x10, 72, true).entry("byte9", 0x20, 9).entry("far_bit", 0x900, 3, true);
    usage_model& mixed = other.done();
    const std::string text = text_of(mixed, test::extras(nullptr, nullptr, 10));
    // 200 bits are 25 bytes; 72 bits and 9 bytes are equal, in address order.
    EXPECT_NE(text.find("Largest entries of Ram seg0 (4 of 4):\n"
                        "         100  0x00000040  buffer\n"
                        "         200 bits  0x00000000  flags\n"
                        "          72 bits  0x00000010  nine\n"
                        "           9  0x00000020  byte9\n\n"
                        "Entries in no area: 1\n"
                        "           3 bits  0x00000900  far_bit\n\n"),
              std::string::npos)
        << text;
}

TEST_F(TextReport, EepromDiffAndBudgetSectionsFollowInThisOrder) {
    model.eeprom = compute_eep_usage({0x100, 0x40, 0x300, 0x80});
    usage_snapshot base = snapshot_of(model);
    base.ram_used = 0;
    base.areas.push_back({"Old seg", 7});
    base.searches[1].bytes = 100;
    base.entries[1].size = 150;  // Os_Tick grew by 50
    base.entries.push_back({"Ram seg0", "gone", 3});
    const usage_snapshot current = snapshot_of(model);
    usage_diff diff = diff_usage(base, current);
    diff.base = "base.json";
    budget ram;
    ram.target = "RAM";
    ram.limit_text = "50%";
    ram.limit = {budget_limit::unit::percent, 50};
    const std::vector<budget_result> budgets{{ram, 128, 101, false}};

    const std::string text = text_of(model, test::extras(&diff, &budgets, 5));
    const std::string eeprom = "\nEEP size analyze: \n\n Total:     1600\n";
    // The labels are 20 columns wide, or 2 more than the longest label.
    const std::string changes =
        "Changes against base.json:\n"
        "                            Before       After      Change\n" +
        change_line(20, "RAM", "0", "101", "+101", "new") +
        change_line(20, "ROM", "1224", "1224", "0", "+0.0%") +
        change_line(20, "Prg seg0", "1224", "1224", "0", "+0.0%") +
        change_line(20, "Ram seg0", "101", "101", "0", "+0.0%") +
        change_line(20, "Eep seg0", "0", "0", "0", "") +
        change_line(20, "Old seg", "7", "0", "-7", "-100.0%") +
        change_line(20, "Search App", "1000", "1000", "0", "+0.0%") +
        change_line(20, "Search |Os |App", "100", "200", "+100", "+100.0%") +
        "\n"
        "Largest entry changes (2 of 2):\n"
        "         +50  grew    Prg seg0  Os_Tick  (150 -> 200)\n"
        "          -3  removed Ram seg0  gone  (3 -> 0)\n"
        "\n"
        "Budgets:\n"
        "  RAM <= 50% (128 bytes): 101 bytes, kept\n"
        "\n";
    const std::size_t eeprom_at = text.find(eeprom);
    ASSERT_NE(eeprom_at, std::string::npos) << text;
    EXPECT_LT(text.find("Entries in no area: 1\n"), eeprom_at);
    ASSERT_GE(text.size(), changes.size());
    EXPECT_EQ(text.substr(text.size() - changes.size()), changes);
    EXPECT_LT(eeprom_at, text.size() - changes.size());
}

TEST_F(TextReport, UnchangedEntriesSayNoEntryChanged) {
    const usage_snapshot current = snapshot_of(model);
    usage_diff diff = diff_usage(current, current);
    diff.base = "b.json";
    const std::string text = text_of(model, test::extras(&diff, nullptr, 10));
    const std::string tail = "\nNo entry changed.\n\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.find("Budgets:"), std::string::npos);
}

TEST_F(TextReport, TheLongestLabelWidensTheDiffsLabelColumn) {
    test::c_model_builder other;
    other.program(0, 0x100).search("a_rather_long_search_term").entry("x", 0, 4);
    usage_model& long_label = other.done();
    const usage_snapshot current = snapshot_of(long_label);
    usage_diff diff = diff_usage({}, current);
    diff.base = "b.json";
    const std::string text = text_of(long_label, test::extras(&diff, nullptr, 10));
    // "Search a_rather_long_search_term" has 32 characters: the column has 34.
    EXPECT_NE(text.find(change_line(34, "ROM", "0", "4", "+4", "new")), std::string::npos) << text;
    EXPECT_NE(text.find(change_line(34, "Search a_rather_long_search_term", "0", "0", "0", "")),
              std::string::npos);
}

TEST_F(TextReport, StreamStateIsRestored) {
    // The diff's table sets the adjustment of the stream; the caller's comes back.
    std::ostringstream out;
    const std::ios::fmtflags before = out.flags();
    const usage_snapshot current = snapshot_of(model);
    const usage_diff diff = diff_usage({}, current);
    render_text_report(out, test::with_model(test::extras(&diff, nullptr, 10), model));
    EXPECT_EQ(out.flags(), before);
}

}  // namespace
}  // namespace tarvel
