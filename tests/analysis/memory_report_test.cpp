#include "analysis/memory_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "analysis/ambiguity_file.h"
#include "analysis/pct_format.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

using test::report_head;

TEST(PctFormat, OneDecimalRightAlignedInFiveColumns) {
    EXPECT_EQ(format_pct_used(30.52), "Pct Used:  30.5%");
    EXPECT_EQ(format_pct_used(0), "Pct Used:   0.0%");
    EXPECT_EQ(format_pct_used(100), "Pct Used: 100.0%");
    EXPECT_EQ(format_pct_used(1234.56), "Pct Used: 1234.6%");
    EXPECT_EQ(format_pct_used(-5), "Pct Used:  -5.0%");
    EXPECT_EQ(percent_of(1, 0), 0.0);
    EXPECT_EQ(percent_of(1, 4), 25.0);
}

TEST(AmbiguityFilePath, BesideTheMapFile) {
    EXPECT_EQ(ambiguity_file_path("C:\\build\\out\\app.map"), "C:\\build\\out\\Tarvel.amb");
    EXPECT_EQ(ambiguity_file_path("/tmp/x/app.map"), "/tmp/x/Tarvel.amb");
    EXPECT_EQ(ambiguity_file_path("a\\b/app.map"), "a\\b/Tarvel.amb");
    EXPECT_EQ(ambiguity_file_path("app.map"), "Tarvel.amb");
}

class MemoryReport : public ::testing::Test {
  protected:
    std::string report() {
        c_search_accounting accounting(searches);
        for (const auto& e : program_entries) {
            accounting.account(e);
        }
        std::ostringstream out;
        out << std::scientific << std::setprecision(3);
        print_memory_report(out, def, counters, searches, accounting,
                            (dir.path() / "app.map").string());
        // The caller's stream state comes back unchanged.
        EXPECT_EQ(out.flags() & std::ios::floatfield, std::ios::scientific);
        EXPECT_EQ(out.precision(), 3);
        return out.str();
    }

    void add_program_entry(std::string name, std::uint32_t size, std::uint32_t area) {
        c_map_entry e;
        e.name = std::move(name);
        e.size = size;
        e.index = area;
        program_entries.push_back(e);
        counters.program_used += size;
        counters.area_used[area] += size;
    }

    test::c_temp_dir dir;
    c_memory_def def;
    memory_counters counters;
    search_list searches;
    std::vector<c_map_entry> program_entries;
};

TEST_F(MemoryReport, FullReportWithSearchesAndAnAmbiguity) {
    def.program = {{0, 8192, no_area}, {0x10000, 1024, no_area}};
    def.memory = {{0x100000, 4096, no_area}};
    counters.memory_bytes = 1000;
    counters.memory_bits = 13;
    counters.area_used = {0, 0};
    for (const char* text : {"App", "|Os |Rte", "Cal !Test"}) {
        searches.push_back(parse_terms(text));
    }
    add_program_entry("AppMain", 3600, 0);
    add_program_entry("Os_Task", 2000, 0);
    add_program_entry("Rte_Run", 100, 0);
    add_program_entry("AppMain", 300, 0);

    const std::string amb_path = (dir.path() / "Tarvel.amb").string();
    EXPECT_EQ(
        report(),
        report_head +
            "RAM area: \n"
            "Total:    4096\n"
            "Pct Used:  24.5%\n"
            "Free:     3094\n"
            "Used:     1002\n"
            "\n"
            "ROM area: \n"
            "Total:    9216\n"
            "Pct Used:  65.1%\n"
            "Free:     3216\n"
            "Used:     6000\n"
            "\n"
            "\n"
            "  Prg seg0:     Used        6000, Free        2192, Total       8192, Pct Used:  "
            "73.2%\n"
            "  Prg seg1:     Used           0, Free        1024, Total       1024, Pct Used:   "
            "0.0%\n"
            "\n"
            "Program breakdown:\n"
            "3600 : 60% , Search = App \n"
            "2100 : 35% , Search = |Os |Rte \n"
            "0 : 0% , Search = Cal !Test \n"
            "---------------------------------------\n"
            "5700\tAccounted for in search: 95%\n"
            "\n"
            "Warning: Ambiguous search with 300 = 5% found and removed from multiple counting. "
            "See ambiguous search result file in " +
            amb_path +
            ".\n"
            "\n");
    EXPECT_EQ(dir.read("Tarvel.amb"),
              test::native_lines("AppMain: Found in [ App ] and in [ App ]\n"));
}

TEST_F(MemoryReport, OverfullAreaZeroTotalsAndNoSearches) {
    def.program = {{0, 100, no_area}, {0x1000, 0, no_area}};
    counters.memory_bits = 12;  // one and a half bytes, with no RAM area to hold them
    counters.area_used = {0, 0};
    add_program_entry("a", 150, 0);
    add_program_entry("b", 7, 1);
    EXPECT_EQ(report(), report_head +
                            "RAM area: \n"
                            "Total:    0\n"
                            "Pct Used:   0.0%\n"
                            "Free:     -2\n"
                            "Used:     2\n"
                            "\n"
                            "ROM area: \n"
                            "Total:    100\n"
                            "Pct Used: 157.0%\n"
                            "Free:     -57\n"
                            "Used:     157\n"
                            "\n"
                            "\n"
                            "  Prg seg0:     Used         150, Free         -50, Total        100, "
                            "Pct Used: 150.0%\n"
                            "  Prg seg1:     Used           7, Free          -7, Total          0, "
                            "Pct Used:   0.0%\n"
                            "\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Tarvel.amb"));
}

TEST_F(MemoryReport, SearchesWithoutAmbiguityAndNoProgramArea) {
    def.memory = {{0, 16, no_area}};
    counters.memory_bytes = 4;
    searches.push_back(parse_terms("x"));
    EXPECT_EQ(report(), report_head +
                            "RAM area: \n"
                            "Total:    16\n"
                            "Pct Used:  25.0%\n"
                            "Free:     12\n"
                            "Used:     4\n"
                            "\n"
                            "ROM area: \n"
                            "Total:    0\n"
                            "Pct Used:   0.0%\n"
                            "Free:     0\n"
                            "Used:     0\n"
                            "\n"
                            "\n"
                            "\n"
                            "Program breakdown:\n"
                            "0 : 0% , Search = x \n"
                            "---------------------------------------\n"
                            "0\tAccounted for in search: 0%\n"
                            "\n");
}

}  // namespace
}  // namespace tarvel
