#include "mapfile/map_file_elxr_ibex.h"

#include <gtest/gtest.h>

#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;

class IbexParse : public test::c_reader_test<c_map_file_elxr_ibex> {
  protected:
    IbexParse() {
        def.program = {{0x0, 0x30000, no_area}};
        def.memory = {{0x03FFD000, 0x2E00, no_area}};
    }
};

TEST_F(IbexParse, InitialisedDataKeepsItsCommaAndBlank) {
    EXPECT_EQ(names(parse("  11  .data, initialized  000004a8  0001f206  PROGBITS\n"
                          "       flags: A\n"
                          "  15  .data                000004a8  ffffd000  PROGBITS\n"
                          "       flags: WA\n")),
              (std::vector<std::string>{".data, initialized", ".data"}));
}

TEST_F(IbexParse, OnlyItsOwnNamesWrittenInTheirCase) {
    EXPECT_EQ(names(parse("  1  .MY_STACK  00000100  ffffd000  x\n a\n"
                          "  2  .my_stack  00000100  ffffd100  x\n a\n"  // case-sensitive
                          "  3  .sdata     00000100  ffffd200  x\n a\n"  // a Puma name
                          "  4  .zbss      00000100  ffffd300  x\n a\n"
                          "  5  .IpdEepRam 00000100  ffffd400  x\n a\n"
                          "  6  .STARTUPFUNC  000000a0  00000340  x\n a\n"
                          "  7  .data, init  00000010  00000400  x\n a\n")),  // no such name
              (std::vector<std::string>{".STARTUPFUNC", ".MY_STACK", ".IpdEepRam"}));
}

TEST_F(IbexParse, DropRulesAndMaskOfTheSectionMaps) {
    EXPECT_EQ(names(parse("  1  .text  00000100  fc000100  x\n flags: AX\n"  // masked to 0x100
                          "  2  .const 00000100  00000200  x\n flags: DEBUGGING\n")),
              (std::vector<std::string>{".text"}));
}

TEST(IbexTables, TwentySixNames) {
    const c_map_file_elxr_ibex reader(text_source{});
    const auto& list = reader.section_names();
    EXPECT_EQ(list.size(), 26u);
    EXPECT_EQ(list[3], "data");
    EXPECT_EQ(list[4], "data, initialized");
    EXPECT_EQ(list.back(), "init");
    EXPECT_EQ(reader.address_mask(), 0x03FFFFFFu);
}

}  // namespace
}  // namespace tarvel
