#include "mapfile/map_file_gnu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

// A map as arm-none-eabi-ld writes it, cut down to one case of each kind of line: flash at 0,
// where the debugging sections and the discarded input sections are listed too.
const std::string small_map =
    "Archive member included to satisfy reference by file (symbol)\n"
    "\n"
    "libhal.a(uart.o)              main.o (uart_init)\n"
    "\n"
    "Allocating common symbols\n"
    "Common symbol       size              file\n"
    "\n"
    "ticks               0x4               main.o\n"
    "\n"
    "Discarded input sections\n"
    "\n"
    " .text.unused    0x00000000       0x1c main.o\n"
    " .text.crc_reset\n"
    "                0x00000000       0x10 libhal.a(crc.o)\n"
    "\n"
    "Memory Configuration\n"
    "\n"
    "Name             Origin             Length             Attributes\n"
    "FLASH            0x00000000         0x00020000         xr\n"
    "RAM              0x20000000         0x00004000         rw!x\n"
    "*default*        0x00000000         0xffffffff\n"
    "\n"
    "Linker script and memory map\n"
    "\n"
    "LOAD main.o\n"
    "LOAD libhal.a\n"
    "                0x20004000                        _estack = (ORIGIN (RAM) + LENGTH (RAM))\n"
    "\n"
    ".text           0x00000000       0x70\n"
    " *(.isr_vector)\n"
    " .isr_vector    0x00000000       0x40 main.o\n"
    "                0x00000000                vectors\n"
    " *(.text .text.*)\n"
    " .text.Reset_Handler\n"
    "                0x00000040        0x2 main.o\n"
    "                0x00000040                Reset_Handler\n"
    " *fill*         0x00000042        0x2 \n"
    " .text.uart_init\n"
    "                0x00000044       0x1c libhal.a(uart.o)\n"
    "                0x00000060        0x4 LONG 0x12345678\n"
    " .rodata.table  0x00000064        0xc main.o\n"
    "\n"
    ".ARM.exidx\n"
    " *(.ARM.exidx*)\n"
    "\n"
    ".data           0x20000000        0x8 load address 0x00000070\n"
    "                0x20000000                        . = ALIGN (0x4)\n"
    " .data.counter  0x20000000        0x4 main.o\n"
    " .data.baud     0x20000004        0x4 libhal.a(uart.o)\n"
    "\n"
    ".bss            0x20000008       0x10 load address 0x00000078\n"
    " .bss.frame     0x20000008        0x8 main.o\n"
    " COMMON         0x20000010        0x4 main.o\n"
    "                0x20000010                ticks\n"
    " *fill*         0x20000014        0x4 \n"
    "\n"
    ".stack          0x20000018      0x100 load address 0x00000078\n"
    "                0x20000118                        . = (. + 0x100)\n"
    " *fill*         0x20000018      0x100 \n"
    "\n"
    ".comment        0x00000000       0x26\n"
    " .comment       0x00000000       0x26 main.o\n"
    "                                 0x27 (size before relaxing)\n"
    "\n"
    ".ARM.attributes\n"
    "                0x00000000       0x2b\n"
    " .ARM.attributes\n"
    "                0x00000000       0x2d main.o\n"
    "OUTPUT(app.elf elf32-littlearm)\n"
    "LOAD linker stubs\n"
    "\n"
    ".debug_info     0x00000000      0x168\n"
    " .debug_info    0x00000000      0x168 main.o\n"
    "\n"
    ".debug_str      0x00000000      0x218\n";

std::uint64_t sum(const std::vector<c_map_entry>& entries) {
    std::uint64_t total = 0;
    for (const c_map_entry& e : entries) {
        total += e.size;
    }
    return total;
}

class GnuParse : public test::c_reader_test<c_map_file_gnu> {
  protected:
    GnuParse() {
        def.program = {{0x0, 0x20000, no_area}};
        def.memory = {{0x20000000, 0x4000, no_area}};
    }

    // Parses `map` and keeps the reader, for its origins and counts.
    parse_result parse_keeping(const std::string& map) {
        reader_ =
            std::make_unique<c_map_file_gnu>(text_source::file(dir.write("k.map", map).string()));
        c_entry_list program;
        c_entry_list memory;
        parse_result r;
        r.result = test::placed_any(reader_->parse(def, program, memory));
        test::keep_placed(r, program, memory);
        return r;
    }

    std::unique_ptr<c_map_file_gnu> reader_;
};

TEST_F(GnuParse, InputSectionsPaddingAndDataStatementsFillTheirOutputSections) {
    const parse_result r = parse(small_map);
    ASSERT_TRUE(r.result);
    // .text (0x70) and the load image of .data (8); .bss, .stack and the debugging sections
    // have none, and the discarded input sections at address 0 count nowhere.
    EXPECT_EQ(sum(r.program), 0x70u + 8u);
    EXPECT_EQ(sum(r.memory), 8u + 0x10u + 0x100u);
    EXPECT_EQ(
        names(r.program),
        (std::vector<std::string>{".isr_vector", ".text.Reset_Handler", "*fill*", ".text.uart_init",
                                  "LONG", ".rodata.table", ".data.counter", ".data.baud"}));
    EXPECT_EQ(names(r.memory),
              (std::vector<std::string>{".data.counter", ".data.baud", ".bss.frame", "COMMON",
                                        "*fill*", "*fill*"}));
    EXPECT_EQ(r.program[6].address, 0x70u);  // the load image, at the load address
    EXPECT_EQ(r.program[7].address, 0x74u);
    EXPECT_EQ(r.memory[0].address, 0x20000000u);
}

TEST_F(GnuParse, EntriesNameTheirObjectFilesOnceEach) {
    const parse_result r = parse_keeping(small_map);
    const std::vector<entry_origin>& origins = reader_->origins();
    ASSERT_EQ(origins.size(), 2u);
    EXPECT_EQ(origins[0].object, "main.o");
    EXPECT_EQ(origins[0].archive, "");
    EXPECT_EQ(origins[1].object, "uart.o");
    EXPECT_EQ(origins[1].archive, "libhal.a");
    const auto named = [](const std::vector<c_map_entry>& entries, const std::string& name) {
        return *std::find_if(entries.begin(), entries.end(),
                             [&](const c_map_entry& e) { return e.name == name; });
    };
    EXPECT_EQ(named(r.program, ".text.uart_init").origin, 1u);
    EXPECT_EQ(named(r.program, ".data.baud").origin, 1u);  // the load image keeps it
    EXPECT_EQ(named(r.memory, ".data.baud").origin, 1u);
    EXPECT_EQ(named(r.program, ".isr_vector").origin, 0u);
    EXPECT_EQ(named(r.program, "*fill*").origin, no_origin);
    EXPECT_EQ(named(r.program, "LONG").origin, no_origin);
}

TEST_F(GnuParse, OnlyFilesWithBytesInTargetMemoryAreOrigins) {
    parse_keeping(
        "Linker script and memory map\n"
        ".text           0x00000100        0x8\n"
        " .text          0x00000100        0x0 empty.o\n"
        " .text          0x00000100        0x8 a.o\n"
        " .glue_7        0x00000108        0x0 linker stubs\n"
        ".debug_info     0x00000000       0x10\n"
        " .debug_info    0x00000000       0x10 debug_only.o\n");
    ASSERT_EQ(reader_->origins().size(), 1u);
    EXPECT_EQ(reader_->origins()[0].object, "a.o");
}

// A run that needs the sums alone keeps no origin for an entry it folds into them, only for
// one in no area; the sums are those of the entries a full run keeps.
TEST_F(GnuParse, ListsOfSumsOnlyKeepTheOriginsOfUnplacedEntriesAlone) {
    const std::string map =
        "Linker script and memory map\n"
        ".text           0x00000100        0x8\n"
        " .text          0x00000100        0x8 a.o\n"
        ".data           0x20000000        0x4\n"
        " .data          0x20000000        0x4 libx.a(b.o)\n";
    def.memory = {{0x10000000, 0x100, no_area}};  // .data lies in no area
    const parse_result full = parse_keeping(map);
    ASSERT_EQ(reader_->origins().size(), 2u);

    c_map_file_gnu reader(text_source::text(map, "a.map"));
    c_entry_list program;
    c_entry_list memory;
    program.keep_sums_only();
    memory.keep_sums_only();
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    ASSERT_EQ(reader.origins().size(), 1u);
    EXPECT_EQ(reader.origins()[0].object, "b.o");
    ASSERT_EQ(reader.unplaced().size(), 1u);
    EXPECT_EQ(reader.unplaced()[0].origin, 0u);
    std::uint64_t folded = 0;
    program.for_each_unordered([&](const c_map_entry& e) { folded += e.size; });
    EXPECT_EQ(folded, sum(full.program));
}

TEST_F(GnuParse, CountsTellWhatWasLeftOut) {
    parse_keeping(small_map);
    const reader_counts counts = reader_->counts();
    // 6 in .text, 2 + 2 in .data and its image, 3 in .bss, 1 in .stack; the debugging and
    // attribute sections: .comment 1, .ARM.attributes 1, .debug_info 1, .debug_str 1.
    EXPECT_EQ(counts.recognised, 14u + 4u);
    EXPECT_EQ(counts.placed, 14u);
    EXPECT_EQ(counts.unplaced, 0u);
    EXPECT_EQ(counts.dropped_total(), 4u);
    std::uint64_t debugging = 0;
    for (const drop_count& d : counts.dropped) {
        if (d.rule.find("debugging") != std::string::npos) {
            debugging += d.count;
        }
    }
    EXPECT_EQ(debugging, 2u);
}

TEST_F(GnuParse, SixtyFourBitAddressesAndWhatLiesBeyondThirtyTwoBits) {
    const parse_result r = parse_keeping(
        "Linker script and memory map\n"
        ".text           0x0000000000000000       0x10\n"
        " .text          0x0000000000000000       0x10 crt.o\n"
        ".data           0x0000000020000000        0x4 load address 0x0000000000000010\n"
        " .data          0x0000000020000000        0x4 crt.o\n"
        ".high           0x0000000100000000        0x4\n"
        " .high          0x0000000100000000        0x4 crt.o\n"
        ".top            0x00000000fffffffc        0x8\n"
        " .top           0x00000000fffffffc        0x8 crt.o\n");
    EXPECT_EQ(sum(r.program), 0x14u);
    EXPECT_EQ(sum(r.memory), 4u);
    const auto& dropped = reader_->counts().dropped;
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].rule, "address beyond 32 bits");
    EXPECT_EQ(dropped[0].count, 2u);
}

TEST_F(GnuParse, ARestWithoutPaddingLinesAndSectionsWithoutPieces) {
    // Older ld versions print no padding for a gap made by moving the location counter.
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".vectors        0x00000000       0x68\n"
        ".heap           0x20000000      0x200\n"
        "                0x20000200                        . = (. + 0x200)\n"
        ".data           0x20000200       0x10 load address 0x00000068\n"
        " .data          0x20000200        0x8 a.o\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".vectors", ".data", ".data"}));
    EXPECT_EQ(sum(r.program), 0x68u + 0x10u);
    EXPECT_EQ(names(r.memory), (std::vector<std::string>{".heap", ".data", ".data"}));
    EXPECT_EQ(sum(r.memory), 0x200u + 0x10u);
}

TEST_F(GnuParse, OnlyTheMemoryMapHoldsEntriesAndACrossReferenceEndsIt) {
    const parse_result r = parse(
        "Discarded input sections\n"
        " .text          0x00000000       0x40 a.o\n"
        "Memory Configuration\n"
        "Name Origin Length Attributes\n"
        "FLASH 0x00000000 0x20000 xr\n"
        "Linker script and memory map\n"
        ".text           0x00000100        0x8\n"
        " .text          0x00000100        0x8 a.o\n"
        "Cross Reference Table\n"
        "\n"
        ".text           0x00000200        0x8\n"
        " .text          0x00000200        0x8 a.o\n");
    EXPECT_EQ(sum(r.program), 8u);
    EXPECT_TRUE(r.memory.empty());
}

TEST_F(GnuParse, DiscardedSectionsOfTheScriptAndStrayInputsCountNowhere) {
    const parse_result r = parse(
        "Linker script and memory map\n"
        " .text          0x00000300        0x8 before_any_section.o\n"
        "/DISCARD/\n"
        " .text          0x00000000        0x8 a.o\n"
        ".text           0x00000100        0x8\n"
        " .text          0x00000100        0x8 a.o\n");
    EXPECT_EQ(names(r.program), std::vector<std::string>{".text"});
    EXPECT_EQ(r.program[0].address, 0x100u);
}

TEST_F(GnuParse, NoMapOrNoPlacedEntryGivesFalse) {
    EXPECT_FALSE(parse("").result);
    EXPECT_FALSE(parse("Linker script and memory map\n.text 0x30000000 0x8\n").result);
    c_map_file_gnu missing(text_source::file((dir.path() / "none.map").string()));
    c_entry_list program;
    c_entry_list memory;
    EXPECT_FALSE(missing.parse(def, program, memory));
    c_memory_def untouched;
    EXPECT_FALSE(missing.define_areas(untouched));
}

TEST(GnuDefineAreas, RegionsBecomeNamedAreasAndTheMapCanBeParsedAfterwards) {
    const test::c_temp_dir dir;
    c_map_file_gnu reader(text_source::text(small_map));
    c_memory_def def;
    def.program = {{0x1, 0x2, no_area}};
    def.eeprom = {{0x3, 0x4, no_area}};
    ASSERT_TRUE(reader.define_areas(def));
    ASSERT_EQ(def.program.size(), 1u);
    EXPECT_EQ(def.program[0].start, 0u);
    EXPECT_EQ(def.program[0].size, 0x20000u);
    ASSERT_EQ(def.memory.size(), 1u);
    EXPECT_EQ(def.memory[0].start, 0x20000000u);
    EXPECT_EQ(def.program_names, std::vector<std::string>{"FLASH"});
    EXPECT_EQ(def.memory_names, std::vector<std::string>{"RAM"});
    EXPECT_TRUE(def.eeprom.empty());  // the map's regions replace the whole definition
    EXPECT_EQ(def.kind_sources, (std::vector<std::string>{"attributes", "attributes"}));

    c_entry_list program;
    c_entry_list memory;
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    EXPECT_EQ(program.size(), 8u);
    EXPECT_EQ(memory.size(), 6u);
}

TEST(GnuDefineAreas, NoTableLeavesTheDefinitionAlone) {
    const test::c_temp_dir dir;
    c_map_file_gnu reader(
        text_source::text("Linker script and memory map\n.text 0x0 0x8\n .text 0x0 0x8 a.o\n"));
    c_memory_def def;
    def.program = {{0x0, 0x100, no_area}};
    EXPECT_FALSE(reader.define_areas(def));
    ASSERT_EQ(def.program.size(), 1u);
    EXPECT_EQ(def.program[0].size, 0x100u);
    c_entry_list program;
    c_entry_list memory;
    EXPECT_TRUE(test::placed_any(reader.parse(def, program, memory)));  // still ready to parse
}

TEST(GnuDefineAreas, TheTableEndsAtTheNextPart) {
    const test::c_temp_dir dir;
    c_map_file_gnu reader(
        text_source::text("Memory Configuration\n"
                          "Name Origin Length Attributes\n"
                          "FLASH 0x00000000 0x1000 rx\n"
                          "Linker script and memory map\n"
                          "RAM 0x20000000 0x1000 rw\n"));
    c_memory_def def;
    ASSERT_TRUE(reader.define_areas(def));
    EXPECT_EQ(def.program_names, std::vector<std::string>{"FLASH"});
    EXPECT_TRUE(def.memory.empty());
}

}  // namespace
}  // namespace tarvel
