// The EEPROM size report and its failure messages.
#include "app/analyze_eep_size.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

std::string hex(std::uint32_t value) {
    std::ostringstream text;
    text << std::hex << value;
    return text.str();
}

// A project source file stating the four sizes (hexadecimal in the file).
std::string eep_source(std::uint32_t once_size, std::uint32_t triple_size, std::uint32_t once_free,
                       std::uint32_t triple_free) {
    return "/* generated */\n"
           "_IpdEep_nOnceDataSize\n    " +
           hex(once_size) +
           ";\n"
           "_IpdEep_nTrippleDataSize\n    " +
           hex(triple_size) +
           ";\n"
           "_IpdEep_nOnceDataFree\n    " +
           hex(once_free) +
           ";\n"
           "_IpdEep_nTrippleDataFree\n    " +
           hex(triple_free) + ";\n";
}

// The report for the given figures, as the program prints it.
std::string report(const std::string& all_total, const std::string& all_pct,
                   const std::string& all_used, const std::string& all_free,
                   const std::string& once_total, const std::string& once_pct,
                   const std::string& once_used, const std::string& once_free,
                   const std::string& triple_total, const std::string& triple_pct,
                   const std::string& triple_used, const std::string& triple_free) {
    return "\nEEP size analyze: \n\n"
           " Total:     " +
           all_total + "\nPct Used: " + all_pct +
           "%\n"
           " used:      " +
           all_used + "\n Free:      " + all_free +
           "\n\n"
           "Once Data: \n"
           " Total:     " +
           once_total + "\nPct Used: " + once_pct +
           "%\n"
           " Used:      " +
           once_used + "\n Free:      " + once_free +
           "\n\n"
           "Triple Data:\n"
           " Total:     " +
           triple_total + "\nPct Used: " + triple_pct +
           "%\n"
           " Used:      " +
           triple_used + "\n Free:      " + triple_free + "\n\n";
}

class AnalyzeEepSize : public ::testing::Test {
  protected:
    bool analyze(const std::string& path) {
        printed.str("");
        return analyze_eep_size(path, printed);
    }
    bool analyze_content(const std::string& content) {
        return analyze(dir.write("EepPrj.src", content).string());
    }

    test::c_temp_dir dir;
    std::ostringstream printed;
};

TEST_F(AnalyzeEepSize, PrintsTheThreeBlocksWithTripleDataCountedThreeTimes) {
    EXPECT_TRUE(analyze_content(eep_source(0x100, 0x40, 0x300, 0x80)));
    EXPECT_EQ(printed.str(), report("1600", " 28.0", "448", "1152",  //
                                    "1024", " 25.0", "256", "768",   //
                                    "576", " 33.3", "192", "384"));
}

TEST_F(AnalyzeEepSize, ZeroTotalsShowAZeroShare) {
    EXPECT_TRUE(analyze_content(eep_source(0, 0, 0, 0)));
    EXPECT_EQ(printed.str(), report("0", "  0.0", "0", "0", "0", "  0.0", "0", "0",  //
                                    "0", "  0.0", "0", "0"));

    // No once data at all beside full triple data.
    EXPECT_TRUE(analyze_content(eep_source(0, 0x10, 0, 0)));
    EXPECT_EQ(printed.str(), report("48", "100.0", "48", "0", "0", "  0.0", "0", "0",  //
                                    "48", "100.0", "48", "0"));
}

TEST_F(AnalyzeEepSize, FiguresWrapAroundModulo2To32) {
    // 3 * 0x60000000 wraps to 0x20000000, 3 * 0x20000000 is 0x60000000: the printed triple
    // figures show a quarter used, while the share is taken from one copy: three quarters.
    EXPECT_TRUE(analyze_content(eep_source(0x1000, 0x60000000, 0xFFFFF000, 0x20000000)));
    EXPECT_EQ(printed.str(), report("2147483648", " 25.0", "536875008", "1610608640",  //
                                    "0", "  0.0", "4096", "4294963200",                //
                                    "2147483648", " 75.0", "536870912", "1610612736"));
}

TEST_F(AnalyzeEepSize, FailureMessages) {
    EXPECT_FALSE(analyze(""));
    EXPECT_EQ(printed.str(), "Tarvel:\tNo eep file name.\n");

    EXPECT_FALSE(analyze((dir.path() / "missing.src").string()));
    EXPECT_EQ(printed.str(), "Tarvel:\tInvalid eep file.\n");

    EXPECT_FALSE(analyze(dir.path().string()));  // a directory cannot be read as a file
    EXPECT_EQ(printed.str(), "Tarvel:\tInvalid eep file.\n");

    EXPECT_FALSE(analyze_content("/* generated */\n_IpdEep_nOnceDataSize\n    0100;\n"));
    EXPECT_EQ(printed.str(), "File end\nerror in the analyze EEP size: \n");
}

}  // namespace
}  // namespace tarvel
