#include "mapfile/map_file_elxr.h"

#include <gtest/gtest.h>

#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

class ElxrParse : public test::c_reader_test<c_map_file_elxr> {
  protected:
    ElxrParse() {
        def.program = {{0x0, 0x10000, no_area}, {0x02E00000, 0x1000, no_area}};
        def.memory = {{0x03FF0000, 0x10000, no_area}};
    }
};

TEST_F(ElxrParse, ReadsSectionLinesAndTheirAttributeLines) {
    const parse_result r = parse(
        "Section table\r\n"
        "  No  Name   Size      Address   Type\r\n"
        "  1  .text  00000200  00000100  PROGBITS\r\n"
        "      flags AX\r\n"
        "\r\n"
        "  2  .bss   00000010  FFFF0000  NOBITS\r\n"
        "\r\n\r\n"
        "      flags WA\r\n"
        "  3  .data  00000020  00000000  x\r\n"
        "  4  .text  00000040  00000400  attribute line of section 3\r\n");
    EXPECT_TRUE(r.result);
    ASSERT_EQ(r.program.size(), 2u);
    EXPECT_EQ(r.program[0].name, ".data");
    EXPECT_EQ(r.program[0].address, 0u);
    EXPECT_EQ(r.program[0].size, 0x20u);
    EXPECT_EQ(r.program[1].name, ".text");
    EXPECT_EQ(r.program[1].address, 0x100u);
    EXPECT_EQ(r.program[1].index, 0u);
    ASSERT_EQ(r.memory.size(), 1u);
    EXPECT_EQ(r.memory[0].address, 0x03FF0000u);  // the low 26 bits of the address
    EXPECT_EQ(r.memory[0].is_bit, 0);
}

TEST_F(ElxrParse, DropsDebuggingAndUnplacedSections) {
    const parse_result r = parse(
        "1 .text 10 100 x\n DEBUGGING info\n"
        "2 .text 20 200 x\n debugging is lower case\n"
        "3 .sdata 0 300 x\n a\n"        // size 0: never placed
        "4 .zdata 10 01000000 x\n a\n"  // in no area
        "5 .text 10 FEE00000 x\n a\n"   // 0x02E00000 after the mask
        "6 .rodata 10 500 x\n");        // no attribute line
    EXPECT_TRUE(r.result);
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".text", ".text"}));
    EXPECT_EQ(r.program[0].size, 0x20u);
    EXPECT_EQ(r.program[1].address, 0x02E00000u);
    EXPECT_EQ(r.program[1].index, 1u);
}

TEST_F(ElxrParse, EqualAddressesStandInReverseFileOrder) {
    const parse_result r = parse(
        "1 .text 10 100 x\n a\n"
        "2 .rodata 10 100 x\n a\n"
        "3 .data 10 50 x\n a\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".data", ".rodata", ".text"}));
}

TEST_F(ElxrParse, NoPlacedSectionGivesFalse) {
    EXPECT_FALSE(parse("").result);
    EXPECT_FALSE(parse("header only\n").result);
    EXPECT_FALSE(parse("1 .text 10 01000000 x\n a\n").result);

    c_map_file_elxr missing(text_source::file((dir.path() / "none.map").string()));
    c_entry_list program;
    c_entry_list memory;
    EXPECT_FALSE(missing.parse(def, program, memory));
}

TEST_F(ElxrParse, ReadLineSkipsEmptyLinesAndStopsForGoodAtTheEnd) {
    c_map_file_elxr reader(text_source::file(dir.write("b.map", "\n\na\n  \n\nb").string()));
    std::string_view line;
    ASSERT_TRUE(reader.read_line(line));
    EXPECT_EQ(line, "a");
    ASSERT_TRUE(reader.read_line(line));
    EXPECT_EQ(line, "  ");
    ASSERT_TRUE(reader.read_line(line));
    EXPECT_EQ(line, "b");
    EXPECT_FALSE(reader.read_line(line));
    EXPECT_FALSE(reader.read_line(line));
}

TEST(ElxrDropRules, DebugNamesDebuggingAttributesAndExcludedNames) {
    EXPECT_TRUE(c_map_file_elxr::is_dropped(".debug_info", ""));
    EXPECT_TRUE(c_map_file_elxr::is_dropped(".text", "flags DEBUGGING"));
    EXPECT_TRUE(c_map_file_elxr::is_dropped("heap", ""));
    EXPECT_TRUE(c_map_file_elxr::is_dropped("note.renesas", ""));
    EXPECT_FALSE(c_map_file_elxr::is_dropped(".heap", ""));
    EXPECT_FALSE(c_map_file_elxr::is_dropped(".text", "debugging"));
    EXPECT_FALSE(c_map_file_elxr::is_dropped(".Debug", ""));
}

TEST(ElxrTables, FortyNamesAndTheTwentySixBitMask) {
    const c_map_file_elxr reader(text_source{});
    EXPECT_EQ(reader.section_names().size(), 40u);
    EXPECT_EQ(reader.section_names().front(), "appinfo");
    EXPECT_EQ(reader.section_names().back(), "zdata");
    EXPECT_EQ(reader.address_mask(), 0x03FFFFFFu);
    EXPECT_EQ(&reader.line_regex(), &c_map_file_elxr(text_source{}).line_regex());  // built once
}

}  // namespace
}  // namespace tarvel
