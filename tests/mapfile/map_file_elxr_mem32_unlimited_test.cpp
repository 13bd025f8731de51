#include "mapfile/map_file_elxr_mem32_unlimited.h"

#include <gtest/gtest.h>

#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

class UnlimitedParse : public test::c_reader_test<c_map_file_elxr_mem32_unlimited> {
  protected:
    UnlimitedParse() {
        def.program = {{0x0, 0x100000, no_area}, {0xFEDE0000, 0x10000, no_area}};
        def.memory = {{0xFEF00000, 0x8000, no_area}};
    }
};

TEST_F(UnlimitedParse, KeepsAllThirtyTwoAddressBits) {
    const parse_result r = parse("  1  .text  00001200  FEDE0000  PROGBITS\n       flags: AX\n");
    EXPECT_TRUE(r.memory.empty());
    ASSERT_EQ(r.program.size(), 1u);
    EXPECT_EQ(r.program[0].name, "text");
    EXPECT_EQ(r.program[0].address, 0xFEDE0000u);
    EXPECT_EQ(r.program[0].size, 0x1200u);
    EXPECT_EQ(r.program[0].index, 1u);
}

TEST_F(UnlimitedParse, AnyNameWithoutBracketsAndFirstDot) {
    EXPECT_EQ(names(parse("  1  [.bss]        00000010  fef00000  x\n a\n"
                          "  2  ..x           00000010  00000100  x\n a\n"
                          "  3  .mysection    00000010  00000200  x\n a\n"
                          "  4  .text.startup 00000010  00000300  x\n a\n"
                          "  5  .a$b          00000010  00000400  x\n a\n"  // not a name character
                          "  6  .a-b          00000010  00000500  x\n a\n")),
              (std::vector<std::string>{".x", "mysection", "text.startup", "bss"}));
}

TEST_F(UnlimitedParse, DropRulesSeeTheNameWithoutItsDot) {
    EXPECT_EQ(names(parse("  1  heap          00000010  00000100  x\n a\n"
                          "  2  .heap         00000010  00000200  x\n a\n"
                          "  3  .heap2        00000010  00000300  x\n a\n"
                          "  4  .linfix       00000010  00000400  x\n a\n"
                          "  5  .my_debug     00000010  00000500  x\n a\n"
                          "  6  .rodata       00000010  00000600  x\n flags: DEBUGGING\n"
                          "  7  .gstackfix    00000010  00000700  x\n a\n")),
              (std::vector<std::string>{"heap2"}));
}

TEST(UnlimitedTables, NoNameListAndNoMask) {
    const c_map_file_elxr_mem32_unlimited reader(text_source{});
    EXPECT_TRUE(reader.section_names().empty());
    EXPECT_EQ(reader.address_mask(), 0xFFFFFFFFu);
    EXPECT_EQ(&reader.line_regex(), &c_map_file_elxr_mem32_unlimited(text_source{}).line_regex());
}

}  // namespace
}  // namespace tarvel
