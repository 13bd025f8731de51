#include "mapfile/map_file_ti.h"

#include <gtest/gtest.h>

#include "mapfile/ti_map_line.h"
#include "mapfile/vendor_test_support.h"

namespace tarvel {
namespace {

using test::sum_sizes;
using test::vendor_result;

std::string memory(const char* flash_used, const char* ram_used) {
    return std::string(
               "MEMORY CONFIGURATION\n\n"
               "         name            origin    length      used     unused   attr    fill\n"
               "----------------------  --------  ---------  --------  --------  ----  --------\n"
               "  FLASH                 00000000   00040000  ") +
           flash_used +
           "  0003ff00  R  X\n"
           "  SRAM                  20000000   00008000  " +
           ram_used + "  00007f00  RW X\n\n";
}

const std::string allocation_heading =
    "SECTION ALLOCATION MAP\n\n"
    " output                                  attributes/\n"
    "section   page    origin      length       input sections\n"
    "--------  ----  ----------  ----------   ----------------\n";

// Code from an object and two members of one library, a hole, a section run from RAM, the
// linker's own table, zero-initialised data and a section that is not allocated.
const std::string sections =
    ".text      0    00000000    00000060     \n"
    "                  00000000    00000020     main.obj (.text)\n"
    "                  00000020    00000010     rts.lib : memcpy.obj (.text)\n"
    "                  00000030    0000000e             : memset.obj (.text)\n"
    "                  0000003e    00000002     --HOLE-- [fill = 0]\n"
    "                  00000040    00000020     uart.obj (.text)\n\n"
    ".TI.ramfunc \n"
    "*          0    00000060    00000010     RUN ADDR = 20000000\n"
    "                  00000060    00000010     flash.obj (.TI.ramfunc)\n\n"
    ".cinit     0    00000070    00000008     \n"
    "                  00000070    00000008     (__TI_cinit_table)\n\n"
    ".bss       0    20000010    00000040     UNINITIALIZED\n"
    "                  20000010    00000040     main.obj (.bss)\n\n"
    ".stack     0    20000050    00000040     UNINITIALIZED\n\n"
    ".reset     0    0003ffc0    00000040     DSECT\n"
    "                  0003ffc0    00000040     boot.obj (.reset)\n\n"
    "GLOBAL SYMBOLS: SORTED ALPHABETICALLY BY Name \n\n"
    "address   name\n"
    "00000001  main\n";

class TiParse : public ::testing::Test {
  protected:
    TiParse() {
        def.program = {{0x0, 0x40000, no_area}};
        def.memory = {{0x20000000, 0x8000, no_area}};
    }
    vendor_result read(const std::string& map) {
        return test::read_vendor_map<c_map_file_ti>(def, map);
    }
    c_memory_def def;
};

TEST_F(TiParse, InputSectionsAreEntriesAndACopiedSectionCountsAtBothAddresses) {
    const vendor_result r = read(memory("00000078", "00000090") + allocation_heading + sections);
    ASSERT_TRUE(r.placed.result);
    EXPECT_EQ(r.counts.damaged_lines, 0u) << r.counts.first_damage;
    EXPECT_EQ(sum_sizes(r.placed.program), 0x78u);  // .text, .TI.ramfunc's load image, .cinit
    EXPECT_EQ(sum_sizes(r.placed.memory), 0x90u);   // its run image, .bss, .stack
    EXPECT_EQ(r.origin_of(r.placed.program[1]), "rts.lib(memcpy.obj)");
    EXPECT_EQ(r.origin_of(r.placed.program[2]), "rts.lib(memset.obj)");
    EXPECT_EQ(r.placed.program[3].name, "--HOLE--");
    EXPECT_EQ(r.origin_of(r.placed.program[3]), "");
    EXPECT_EQ(r.origin_of(r.placed.program[4]), "uart.obj");  // no library after the hole
    EXPECT_EQ(r.placed.memory[0].name, ".TI.ramfunc");
    EXPECT_EQ(r.placed.memory[0].address, 0x20000000u);
    // A section without input sections is its own entry; DSECT takes no memory.
    EXPECT_EQ(r.placed.memory.back().name, ".stack");
    ASSERT_EQ(r.counts.dropped.size(), 1u);
    EXPECT_EQ(r.counts.dropped[0].count, 1u);
}

TEST_F(TiParse, UsedBytesOrLengthsThatDifferFromTheInputSectionsMarkTheMapDamaged) {
    const vendor_result wrong_used =
        read(memory("0000007c", "00000090") + allocation_heading + sections);
    EXPECT_EQ(wrong_used.counts.damaged_lines, 1u);
    EXPECT_EQ(wrong_used.counts.first_damaged_line, 5u);  // the FLASH row
    EXPECT_NE(wrong_used.counts.first_damage.find("FLASH: 124 bytes used, the sections give 120"),
              std::string::npos)
        << wrong_used.counts.first_damage;

    // An input section lost: .text is longer than its inputs, and FLASH's used figure too.
    std::string lost = memory("00000078", "00000090") + allocation_heading + sections;
    const std::size_t row = lost.find("                  00000040    00000020     uart.obj");
    lost.erase(row, lost.find('\n', row) + 1 - row);
    const vendor_result r = read(lost);
    EXPECT_EQ(r.counts.damaged_lines, 2u);
    EXPECT_NE(r.counts.first_damage.find(".text: 96 bytes, its input sections 64"),
              std::string::npos)
        << r.counts.first_damage;
}

TEST(TiAreas, RegionsRamWhenTheyHoldUninitializedOrCopiedSections) {
    const c_memory_def def = test::map_areas<c_map_file_ti>(memory("00000078", "00000090") +
                                                            allocation_heading + sections);
    ASSERT_TRUE(def.loaded);
    EXPECT_EQ(def.program_names, std::vector<std::string>{"FLASH"});
    EXPECT_EQ(def.memory_names, std::vector<std::string>{"SRAM"});
    EXPECT_EQ(def.memory[0].size, 0x8000u);

    // MSP430 maps mark every region RWIX: the sections in it decide, or its name.
    const std::string msp430 =
        "MEMORY CONFIGURATION\n\n"
        "  SFR                   00000000   00000010  00000000  00000010  RWIX\n"
        "  RAM                   00000200   00000200  00000050  000001b0  RWIX\n"
        "  BACKUP_RAM            00000400   00000100  00000000  00000100  RWIX\n"
        "  FLASH                 0000c000   00003fde  00000100  00003ede  RWIX\n\n" +
        allocation_heading +
        ".text      0    0000c000    00000100     \n"
        "                  0000c000    00000100     main.obj (.text)\n"
        ".bss       0    00000200    00000050     UNINITIALIZED\n"
        "                  00000200    00000050     main.obj (.bss)\n";
    const c_memory_def small = test::map_areas<c_map_file_ti>(msp430);
    EXPECT_EQ(small.program_names, (std::vector<std::string>{"SFR", "FLASH"}));
    EXPECT_EQ(small.memory_names, (std::vector<std::string>{"RAM", "BACKUP_RAM"}));
    EXPECT_FALSE(test::map_areas<c_map_file_ti>(allocation_heading + sections).loaded);
}

TEST(TiLines, OutputAndInputSectionLines) {
    ti::output_section output;
    ti::input_section input;
    EXPECT_EQ(ti::read_allocation_line("ramfuncs   0    003f618b    0000001f     LOAD ADDR = "
                                       "00008000",
                                       output, input),
              ti::line_kind::output_section);
    EXPECT_TRUE(output.has_load_address);
    EXPECT_EQ(output.load_address, 0x8000u);
    EXPECT_EQ(ti::read_allocation_line(
                  "                  00000d10    00000008     (.cinit..data.load) [load image, "
                  "compression = lzss]",
                  output, input),
              ti::line_kind::input_section);
    EXPECT_EQ(input.section, ".cinit..data.load");
    EXPECT_EQ(input.object, "");
    EXPECT_EQ(ti::read_allocation_line("                  00000d10    00000008     main.obj",
                                       output, input),
              ti::line_kind::other);
    EXPECT_EQ(ti::part_of_heading("LINKER GENERATED COPY TABLES"), ti::part::other);
    EXPECT_EQ(ti::part_of_heading("BOOT       0    00000000    00000004"), ti::part::none);
}

}  // namespace
}  // namespace tarvel
