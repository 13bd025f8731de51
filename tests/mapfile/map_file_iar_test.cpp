#include "mapfile/map_file_iar.h"

#include <gtest/gtest.h>

#include "mapfile/iar_map_line.h"
#include "mapfile/vendor_test_support.h"

namespace tarvel {
namespace {

using test::sum_sizes;
using test::vendor_result;

const std::string summary =
    "*******************************************************************************\n"
    "*** PLACEMENT SUMMARY\n"
    "***\n\n"
    "\"A0\":  place at address 0x800'0000 { ro section .intvec };\n"
    "\"P1\":  place in [from 0x800'0000 to 0x80f'ffff] { ro };\n"
    "define block CSTACK with size = 1K, alignment = 8 { };\n"
    "\"P2\":  place in [from 0x2000'0000 to 0x2000'7fff] |\n"
    "                [from 0x1000'0000 to 0x1000'ffff] {\n"
    "          rw, block CSTACK };\n"
    "initialize by copy { rw };\n\n"
    "  Section            Kind         Address    Size  Object\n"
    "  -------            ----         -------    ----  ------\n";

// Code, a long name alone on its line, the packed initial values, RW data in an init block and
// a stack block; the part "P1" has a gap of 2 bytes.
const std::string sections =
    "\"P1\":                                       0x5a\n"
    "  .text              ro code   0x800'0000    0x32  main.o [1]\n"
    "  .text.a_very_long_section_name\n"
    "                     ro code   0x800'0034    0x10  memcpy.o [2]\n"
    "  Initializer bytes  const     0x800'0044    0x8  <for P2-1>\n"
    "  .rodata            const     0x800'004c     0xe  main.o [1]\n"
    "                             - 0x800'005a    0x5a\n\n"
    "\"P2\", part 1 of 2:                           0x10\n"
    "  P2-1                        0x2000'0000    0x10  <Init block>\n"
    "    .data            inited   0x2000'0000    0x10  main.o [1]\n"
    "                            - 0x2000'0010    0x10\n\n"
    "\"P2\", part 2 of 2:                          0x400\n"
    "  CSTACK                      0x2000'0010   0x400  <Block>\n"
    "    CSTACK           uninit   0x2000'0010   0x400  <Block tail>\n"
    "                            - 0x2000'0410   0x400\n\n"
    "Unused ranges:\n\n"
    "         From           To      Size\n"
    "   0x800'005a   0x80f'ffff  0xf'ffa6\n\n";

const std::string legend =
    "*******************************************************************************\n"
    "*** MODULE SUMMARY\n"
    "***\n\n"
    "[1] = C:\\proj\\Debug\\Obj\n"
    "[2] = rt7M_tl.a\n\n";

std::string closing(const char* code, const char* data, const char* rw) {
    return std::string("  ") + code + " bytes of readonly  code memory\n    " + data +
           " bytes of readonly  data memory\n  " + rw + " bytes of readwrite data memory\n";
}

class IarParse : public ::testing::Test {
  protected:
    IarParse() {
        def.program = {{0x08000000, 0x100000, no_area}};
        def.memory = {{0x20000000, 0x8000, no_area}};
    }
    vendor_result read(const std::string& map) {
        return test::read_vendor_map<c_map_file_iar>(def, map);
    }
    c_memory_def def;
};

TEST_F(IarParse, RowsWithAKindAreEntriesAndGapsOfAPartCountUnderItsPlacement) {
    const vendor_result r = read(summary + sections + legend + closing("68", "22", "1'040"));
    ASSERT_TRUE(r.placed.result);
    EXPECT_EQ(r.counts.damaged_lines, 0u) << r.counts.first_damage;
    EXPECT_EQ(sum_sizes(r.placed.program), 0x5Au);  // the packed initial values included
    EXPECT_EQ(sum_sizes(r.placed.memory), 0x410u);  // blocks and init blocks not twice
    ASSERT_EQ(r.placed.program.size(), 5u);
    EXPECT_EQ(r.placed.program[1].name, ".text.a_very_long_section_name");
    EXPECT_EQ(r.placed.program[2].name, "Initializer bytes");
    // The 2-byte gap after .text, at the end of the part: the figures stay those of the map.
    EXPECT_EQ(r.placed.program[4].name, "P1");
    EXPECT_EQ(r.placed.program[4].address, 0x08000058u);
    EXPECT_EQ(r.placed.program[4].size, 2u);
    // Objects get their library from the legend; directories are no archive.
    EXPECT_EQ(r.origin_of(r.placed.program[0]), "main.o");
    EXPECT_EQ(r.origin_of(r.placed.program[1]), "rt7M_tl.a(memcpy.o)");
    EXPECT_EQ(r.origin_of(r.placed.program[2]), "");
}

TEST_F(IarParse, ClosingTotalsThatDifferFromTheSectionsMarkTheMapDamaged) {
    // EWARM 6 groups with blanks; absolute variables may make the RW data larger.
    EXPECT_EQ(read(summary + sections + legend + closing("68", "22", "1 040")).counts.damaged_lines,
              0u);
    const std::string absolute = summary + sections + legend +
                                 "     68 bytes of readonly  code memory\n"
                                 "     22 bytes of readonly  data memory\n"
                                 "  1'036 bytes of readwrite data memory (+ 4 absolute)\n";
    EXPECT_EQ(read(absolute).counts.damaged_lines, 0u);

    const vendor_result wrong = read(summary + sections + legend + closing("68", "24", "1'040"));
    EXPECT_EQ(wrong.counts.damaged_lines, 1u);
    EXPECT_NE(wrong.counts.first_damage.find("read-only 92 bytes, the sections give 90"),
              std::string::npos)
        << wrong.counts.first_damage;

    // The gaps that the module summary states: a row lost would add to the section list's.
    const std::string module_summary =
        "*******************************************************************************\n"
        "*** MODULE SUMMARY\n***\n\n"
        "    Gaps:                     2\n"
        "    Grand Total:             68       22    1'040\n";
    EXPECT_EQ(read(summary + sections + module_summary).counts.damaged_lines, 0u);
    std::string lost = summary + sections + module_summary;
    const std::size_t row = lost.find("  .rodata");
    lost.erase(row, lost.find('\n', row) + 1 - row);
    const vendor_result hidden = read(lost);
    EXPECT_EQ(hidden.counts.damaged_lines, 1u);
    EXPECT_NE(hidden.counts.first_damage.find("Gaps 2 bytes, the section list 16"),
              std::string::npos)
        << hidden.counts.first_damage;

    // Rows beyond their part's size or over the row before, and a line that is no row.
    std::string over = summary + sections;
    over.replace(over.find("0x10  main.o [1]\n                            -"), 4, "0x20");
    EXPECT_EQ(read(over).counts.damaged_lines, 1u);
    std::string overlapping = summary + sections;
    overlapping.replace(overlapping.find("0x800'004c     0xe"), 10, "0x800'004a");
    EXPECT_EQ(read(overlapping).counts.damaged_lines, 1u);
    std::string garbled = summary + sections;
    garbled.replace(garbled.find("ro code   0x800'0000"), 7, "ro c0de");
    const vendor_result bad = read(garbled);
    EXPECT_EQ(bad.counts.damaged_lines, 1u);
    EXPECT_EQ(bad.counts.first_damaged_line, 16u);
}

TEST(IarAreas, PlaceInRangesRamWhenTheyPlaceRwDataOrAStack) {
    const c_memory_def def = test::map_areas<c_map_file_iar>(summary + sections);
    ASSERT_TRUE(def.loaded);
    ASSERT_EQ(def.program.size(), 1u);
    EXPECT_EQ(def.program_names[0], "P1");
    EXPECT_EQ(def.program[0].size, 0x100000u);
    ASSERT_EQ(def.memory.size(), 2u);
    EXPECT_EQ(def.memory_names, (std::vector<std::string>{"P2", "P2.2"}));
    EXPECT_EQ(def.memory[0].start, 0x20000000u);
    EXPECT_EQ(def.memory[1].start, 0x10000000u);
    EXPECT_EQ(def.memory[1].size, 0x10000u);
    EXPECT_FALSE(test::map_areas<c_map_file_iar>(legend).loaded);
}

TEST(IarLines, NumbersGroupedAndRowsOfEveryShape) {
    iar::placement placed;
    ASSERT_TRUE(iar::read_placement("\"P3\":  place in [from 0x0 size 0x800] { section .noinit };",
                                    placed));
    EXPECT_TRUE(placed.writable);
    EXPECT_EQ(placed.ranges.at(0).size, 0x800u);
    EXPECT_FALSE(iar::read_placement("\"A0\":  place at address 0x0 { ro };", placed));

    iar::section_row row;
    EXPECT_EQ(iar::read_section_row("  .bss  zero  0x2000'0000  0x1'0000  main.o [1]", row),
              iar::row_kind::section);
    EXPECT_EQ(row.size, 0x10000u);
    EXPECT_EQ(row.what, iar::kind::rw_data);
    EXPECT_EQ(iar::read_section_row("  .textrw  rw code  0x2000'0000  0x10  flash.o [1]", row),
              iar::row_kind::section);
    EXPECT_EQ(row.what, iar::kind::rw_code);
    EXPECT_EQ(iar::read_section_row("  .text  ro code  0x800'0000", row), iar::row_kind::none);

    iar::total_kind what{};
    std::uint64_t bytes = 0;
    std::uint64_t absolute = 0;
    ASSERT_TRUE(iar::read_closing_total("  3'365'229 bytes of readwrite data memory", what, bytes,
                                        absolute));
    EXPECT_EQ(bytes, 3365229u);
    ASSERT_TRUE(
        iar::read_closing_total("  6 740 bytes of readonly  code memory", what, bytes, absolute));
    EXPECT_EQ(bytes, 6740u);
    EXPECT_EQ(what, iar::total_kind::readonly_code);
}

}  // namespace
}  // namespace tarvel
