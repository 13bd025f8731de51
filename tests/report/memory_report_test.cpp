#include "report/memory_report.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "report/ambiguity_report.h"
#include "report/pct_format.h"
#include "support/model_builder.h"
#include "support/report_text.h"

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
    std::string report(const usage_model& model, const std::string* ambiguity_file = nullptr) {
        std::ostringstream out;
        out << std::scientific << std::setprecision(3);
        render_memory_report(out, model, ambiguity_file);
        // The caller's stream state comes back unchanged.
        EXPECT_EQ(out.flags() & std::ios::floatfield, std::ios::scientific);
        EXPECT_EQ(out.precision(), 3);
        return out.str();
    }

    test::c_model_builder build;
};

TEST_F(MemoryReport, FullReportWithSearchesAndAnAmbiguity) {
    build.program(0, 8192).program(0x10000, 1024).ram(0x100000, 4096);
    for (const char* text : {"App", "|Os |Rte", "Cal !Test"}) {
        build.search(text);
    }
    build.entry("AppMain", 0, 3600).entry("Os_Task", 4000, 2000).entry("Rte_Run", 6000, 100);
    build.entry("AppMain", 7000, 300);
    build.entry("buffer", 0x100000, 1000).entry("flags", 0x100400, 13, true);
    const usage_model& model = build.done();

    const std::string amb_path = "out/Tarvel.amb";
    EXPECT_EQ(
        report(model, &amb_path),
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
    std::ostringstream records;
    render_ambiguities(records, model);
    EXPECT_EQ(records.str(), "AppMain: Found in [ App ] and in [ App ]\n");

    // Without a file the warning names none.
    const std::string unnamed = report(model);
    EXPECT_NE(unnamed.find("removed from multiple counting.\n\n"), std::string::npos);
}

TEST_F(MemoryReport, OverfullAreaZeroTotalsAndNoSearches) {
    build.program(0, 100).program(0x1000, 0).entry("a", 0, 50);
    usage_model& model = build.done();
    // Figures no placement gives, but the report must print sensibly: bits with no RAM area
    // to hold them, an overfull area and bytes in an area of size 0.
    model.ram.used_bits = 12;
    model.areas[0].used = 150;
    model.areas[1].used = 7;
    model.rom.used_bytes = 157;
    EXPECT_EQ(report(model),
              report_head +
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
}

TEST_F(MemoryReport, SearchesWithoutAmbiguityAndNoProgramArea) {
    const usage_model& model = build.ram(0, 16).search("x").entry("y", 0, 4).done();
    EXPECT_EQ(report(model), report_head +
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
