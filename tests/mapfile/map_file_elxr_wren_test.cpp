#include "mapfile/map_file_elxr_wren.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

class WrenParse : public test::c_reader_test<c_map_file_elxr_wren> {
  protected:
    WrenParse() {
        def.program = {{0x0, 0x80000, no_area}};
        def.memory = {{0x03FE0000, 0x10000, no_area}};
    }
};

const c_map_entry* find(const std::vector<c_map_entry>& entries, const std::string& name) {
    for (const auto& e : entries) {
        if (e.name == name) {
            return &e;
        }
    }
    return nullptr;
}

const std::string table =
    "  1  .text        00001000  00000100  PROGBITS\n"
    "       flags: AX\n"
    "  2  .data        00000200  00047d00  PROGBITS\n"
    "       flags: WA\n"
    "  3  .data_begin  00000000  03fe0000  NOBITS\n"
    "       flags: WA\n"
    "  4  .bss         00000400  03fe0200  NOBITS\n"
    "       flags: WA\n";

TEST_F(WrenParse, DataMovesToDataBeginAndItsImageBecomesRodata) {
    const parse_result r = parse(table);
    EXPECT_TRUE(r.result);
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".text", "rodata"}));
    const c_map_entry* rodata = find(r.program, "rodata");
    ASSERT_NE(rodata, nullptr);
    EXPECT_EQ(rodata->address, 0x47D00u);
    EXPECT_EQ(rodata->size, 0x200u);
    EXPECT_EQ(rodata->index, 0u);
    // .data_begin has size 0 and is never placed; .data now lies at its address.
    EXPECT_EQ(names(r.memory), (std::vector<std::string>{".data", ".bss"}));
    EXPECT_EQ(r.memory[0].address, 0x03FE0000u);
    EXPECT_EQ(r.memory[0].size, 0x200u);
}

TEST_F(WrenParse, OnlyTheFirstDataSectionIsCorrected) {
    const parse_result r = parse(table +
                                 "  5  .data        00000010  00047f00  PROGBITS\n"
                                 "       flags: WA\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".text", "rodata", ".data"}));
    EXPECT_EQ(r.program[2].address, 0x47F00u);
}

TEST_F(WrenParse, WithoutDataOrDataBeginNothingIsAdded) {
    const std::string stack =
        "03fe8000 B __stack_begin\n"
        "03fe9000 B __stack_end\n";
    parse_result r = parse(
        "  1  .data        00000200  00047d00  x\n a\n"
        "  2  .bss         00000400  03fe0200  x\n a\n" +
        stack);
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".data"}));
    EXPECT_EQ(names(r.memory), (std::vector<std::string>{".bss"}));

    r = parse("  1  .data_begin  00000010  03fe0000  x\n a\n" + stack);
    EXPECT_EQ(names(r.memory), (std::vector<std::string>{".data_begin"}));
    EXPECT_TRUE(r.program.empty());
}

TEST_F(WrenParse, StackEntryFromTheStackSymbols) {
    const parse_result r = parse(table +
                                 "\n"
                                 "Symbol list\n"
                                 "03fe0000 D __data_begin\n"
                                 "03fe8000 B __stack_begin\n"
                                 "03fea000 B __stack_end\n");
    const c_map_entry* stack = find(r.memory, "stack");
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->address, 0x03FE8000u);
    EXPECT_EQ(stack->size, 0x2000u);
    EXPECT_EQ(stack->index, 0u);
    EXPECT_EQ(stack->is_bit, 0);
}

TEST_F(WrenParse, StackSymbolsWithCrLfLineEndsAndTheLastLineWithoutLineFeed) {
    std::string map = table + "03fe8000 B __stack_begin\r\n03fea000 B __stack_end";
    const parse_result r = parse(map);
    ASSERT_NE(find(r.memory, "stack"), nullptr);
    EXPECT_EQ(find(r.memory, "stack")->size, 0x2000u);
}

TEST_F(WrenParse, TheLastLineOfEachSymbolWinsAndMalformedLinesAreNotTaken) {
    const parse_result r = parse(table +
                                 "03fe1000 B __stack_begin\n"
                                 "03fe2000 B __stack_end\n"
                                 "03fe8000 B __stack_begin\n"
                                 "03FEF000 B __stack_end\n"        // upper-case digits
                                 "03fef000 b __stack_end\n"        // lower-case type
                                 " 03fef000 B __stack_end\n"       // leading blank
                                 "03fef000 B __stack_end x\n"      // text after the name
                                 "03fef000 B __stack_end_guard\n"  // longer name
                                 "03fe9000\tT\t__stack_end\n");
    const c_map_entry* stack = find(r.memory, "stack");
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(stack->address, 0x03FE8000u);
    EXPECT_EQ(stack->size, 0x1000u);
}

TEST_F(WrenParse, NoStackEntryUnlessBothBoundsAreFoundAndOrdered) {
    for (const std::string& symbols : {
             std::string("03fe8000 B __stack_begin\n"),                          // end missing
             std::string("03fe8000 B __stack_end\n"),                            // begin missing
             std::string("03fe8000 B __stack_begin\n03fe8000 B __stack_end\n"),  // empty
             std::string("03fe9000 B __stack_begin\n03fe8000 B __stack_end\n"),  // reversed
             std::string("0 B __stack_begin\n0 B __stack_end\n"),
         }) {
        const parse_result r = parse(table + symbols);
        EXPECT_EQ(find(r.memory, "stack"), nullptr) << symbols;
        EXPECT_EQ(find(r.program, "stack"), nullptr) << symbols;
        EXPECT_NE(find(r.program, "rodata"), nullptr) << symbols;
    }
}

TEST_F(WrenParse, StackValuesAreNotMasked) {
    // Section addresses keep their low 26 bits; the stack symbols are taken as written.
    const parse_result r = parse(table +
                                 "fffe8000 B __stack_begin\n"
                                 "fffe9000 B __stack_end\n"
                                 "  5  .NoClear  00000100  fffe4000  x\n a\n");
    EXPECT_EQ(find(r.memory, "stack"), nullptr);
    ASSERT_NE(find(r.memory, ".NoClear"), nullptr);
    EXPECT_EQ(find(r.memory, ".NoClear")->address, 0x03FE4000u);
}

TEST_F(WrenParse, MapThatCannotBeReadAgainKeepsTheDataCorrection) {
    const auto path = dir.write("b.map", "03fe8000 B __stack_begin\n03fe9000 B __stack_end\n");
    c_map_file_elxr_wren reader(text_source::file(path.string()));
    std::string_view line;
    while (reader.read_line(line)) {
    }  // reading to the end closes the file, which can then be removed on every system
    std::filesystem::remove(path);
    std::vector<c_map_entry> entries{{0x47D00, 0x200, no_area, 0, ".data", 0},
                                     {0x03FE0000, 0, no_area, 0, ".data_begin", 0}};
    reader.post_process(entries);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].address, 0x03FE0000u);
    EXPECT_EQ(entries[2].name, "rodata");
    EXPECT_EQ(entries[2].address, 0x47D00u);
}

TEST_F(WrenParse, PostProcessAppendsRodataThenStack) {
    const auto path = dir.write("c.map", "03fe8000 B __stack_begin\n03fe9000 B __stack_end\n");
    c_map_file_elxr_wren reader(text_source::file(path.string()));
    std::vector<c_map_entry> entries{{0x03FE0000, 0, no_area, 0, ".data_begin", 0},
                                     {0x47D00, 0x200, no_area, 0, ".data", 0}};
    reader.post_process(entries);
    EXPECT_EQ(names(entries),
              (std::vector<std::string>{".data_begin", ".data", "rodata", "stack"}));
    std::string_view line;
    EXPECT_FALSE(reader.read_line(line));  // the second pass closed the file
}

TEST(WrenTables, TwentyOneNamesAndTheTwentySixBitMask) {
    const c_map_file_elxr_wren reader(text_source{});
    const auto& list = reader.section_names();
    EXPECT_EQ(list.size(), 21u);
    EXPECT_EQ(list.front(), "bsct");
    EXPECT_EQ(list[3], "data_begin");
    EXPECT_EQ(list[4], "data");
    EXPECT_EQ(list.back(), "init");
    EXPECT_EQ(reader.address_mask(), 0x03FFFFFFu);
}

}  // namespace
}  // namespace tarvel
