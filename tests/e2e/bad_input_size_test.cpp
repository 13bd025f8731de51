// End-to-end tests of inputs far larger than usual: a map with a 50 MB line, a definition with
// 100 000 areas and one with 10 000 searches. Each run must end with the complete report.
#include <gtest/gtest.h>

#include <string>

#include "e2e/bad_input_fixtures.h"

namespace tarvel::test {
namespace {

std::size_t count_lines(const std::string& text, const std::string& beginning) {
    std::size_t count = 0;
    for (std::size_t at = text.find(beginning); at != std::string::npos;
         at = text.find(beginning, at + 1)) {
        count += at == 0 || text[at - 1] == '\n';
    }
    return count;
}

// A section line (and a symbol line of a listing map) whose rest, after the fields that are
// read, is 50 MB long: read whole, it gives the same report as the same line with a short rest.
TEST_F(BadInput, AFiftyMegabyteLineIsReadWhole) {
    const std::string long_rest(50u << 20, 'x');
    const std::string section_line = "  7    .text         00000100  00002000  PROGBITS ";
    for (const map_case& input : all_map_cases()) {
        // The long line is one of the section table or of the listing; the other formats'
        // readers take long lines in their own tests.
        if (input.type != "Orca" && !is_section_map_case(input)) {
            continue;
        }
        std::string short_map;
        std::string long_map;
        if (input.type == "Orca") {
            short_map = orca_map_with(" x");
            long_map = orca_map_with(" " + long_rest);
        } else {
            const std::string before = section_map.substr(0, section_map.find("Symbols"));
            const std::string after = section_map.substr(before.size());
            short_map = before + section_line + "x\n  flags: AX\n" + after;
            long_map = before + section_line + long_rest + "\n  flags: AX\n" + after;
        }
        const process_result clean = clean_run(input.type, input.definition, short_map);
        dir.write("long.map", long_map);
        const process_result result = run({input.type, "clean.def", "long.map"});
        EXPECT_EQ(result.output, clean.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
}

TEST_F(BadInput, OneHundredThousandAreas) {
    // Program areas of 0x10 bytes each, one after the other, and as many RAM areas above them.
    constexpr unsigned areas = 100000;
    std::string definition;
    char line[64];
    for (unsigned i = 0; i < areas; ++i) {
        std::snprintf(line, sizeof line, "PROGRAM %X 10\nMEMORY %X 10\n", i * 0x10u,
                      0x3000000u + i * 0x10u);
        definition += line;
    }
    dir.write("many.def", definition + "SEARCH text\n");
    // Sections in the first, a middle and the last program area and in the last RAM area (the
    // second ".text" is counted in its area, and is an ambiguity of the search).
    dir.write("a.map",
              "  1  .text  00000010  00000000  x\n  AX\n"
              "  2  .text  00000008  00080000  x\n  AX\n"
              "  3  .rodata  00000010  000FFFF0  x\n  A\n"
              "  4  .bss  00000004  030FFFF0  x\n  WA\n"
              "  5  .text  00000020  00000100  x\n  AX\n");  // spans two areas: fits neither
    const process_result result = run({"Puma", "many.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    ASSERT_TRUE(has_report(result)) << result.output.substr(0, 2000);
    EXPECT_EQ(count_lines(result.output, "  Prg seg"), areas);
    const std::string expected_parts[] = {
        "RAM area: \nTotal:    1600000\nPct Used:   0.0%\nFree:     1599996\nUsed:     4\n",
        "ROM area: \nTotal:    1600000\nPct Used:   0.0%\nFree:     1599960\nUsed:     40\n",
        "  Prg seg0:     Used          16, Free           0, Total         16, Pct Used: 100.0%\n",
        "  Prg seg16:     Used           0, Free          16, Total         16, Pct Used:   0.0%\n",
        "  Prg seg32768:     Used           8, Free           8, Total         16, Pct Used:  "
        "50.0%\n",
        "  Prg seg65535:     Used          16, Free           0, Total         16, Pct Used: "
        "100.0%\n",
        "  Prg seg99999:     Used           0, Free          16, Total         16, Pct Used:   "
        "0.0%\n"
        "\nProgram breakdown:\n16 : 40% , Search = text \n",
    };
    for (const std::string& part : expected_parts) {
        EXPECT_NE(result.output.find(native_lines(part)), std::string::npos) << part;
    }
}

TEST_F(BadInput, TenThousandSearches) {
    // Every search matches ".text"; only the first is credited, the others are ambiguities.
    constexpr unsigned searches = 10000;
    std::string definition = "PROGRAM 0 10000\n";
    for (unsigned i = 0; i < searches; ++i) {
        definition += "SEARCH |text |s" + std::to_string(i) + "\n";
    }
    dir.write("many.def", definition);
    dir.write("a.map",
              "  1  .text  00000100  00000000  x\n  AX\n"
              "  2  .rodata  00000300  00000100  x\n  A\n");
    const process_result result = run({"Puma", "many.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    ASSERT_TRUE(has_report(result)) << result.output.substr(0, 2000);
    EXPECT_EQ(count_lines(result.output, "0 : 0% , Search = |text |s"), searches - 1);
    const std::string expected_parts[] = {
        "Program breakdown:\n256 : 25% , Search = |text |s0 \n0 : 0% , Search = |text |s1 \n",
        "0 : 0% , Search = |text |s9999 \n"
        "---------------------------------------\n"
        "256\tAccounted for in search: 25%\n"
        "\n"
        "Warning: Ambiguous search with 2559744 = 249975% found and removed from multiple "
        "counting. See ambiguous search result file in Tarvel.amb.\n\n",
    };
    for (const std::string& part : expected_parts) {
        EXPECT_NE(result.output.find(native_lines(part)), std::string::npos) << part;
    }
    const std::string ambiguities = dir.read("Tarvel.amb");
    EXPECT_EQ(count_lines(ambiguities, ".text: Found in [ |text |s"), searches - 1);
    EXPECT_NE(
        ambiguities.find(native_lines(".text: Found in [ |text |s9999 ] and in [ |text |s0 ]\n")),
        std::string::npos);
}

}  // namespace
}  // namespace tarvel::test
