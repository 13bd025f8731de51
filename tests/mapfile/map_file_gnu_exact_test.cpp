// What a GNU ld map's sections count, where ld lists them at shared or overlapping addresses,
// runs them past a region's end, or names no regions. The maps follow the layouts that
// arm-none-eabi-ld and the ESP-IDF's xtensa ld write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <tuple>

#include "mapfile/gnu_output_section.h"
#include "mapfile/map_file_gnu.h"
#include "support/random_sections.h"
#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

std::uint64_t counted(const std::vector<c_map_entry>& entries) {
    return std::accumulate(entries.begin(), entries.end(), std::uint64_t{0},
                           [](std::uint64_t sum, const c_map_entry& e) { return sum + e.size; });
}

class GnuExact : public test::c_reader_test<c_map_file_gnu> {
  protected:
    GnuExact() {
        def.program = {{0x08000000, 0x10000, no_area}};
        def.memory = {{0x20000000, 0x5000, no_area}, {0x10000000, 0x2000, no_area}};
    }
};

TEST_F(GnuExact, MergedConstantsCountOnceAndKeepTheirListedSize) {
    // ESP-IDF: two pieces at one address, the first emptied by the merge.
    const parse_result esp = parse(
        "Linker script and memory map\n"
        ".rodata         0x08000000      0x120\n"
        " .rodata.uart_tx_char.str1.4\n"
        "                0x08000000       0xc0 libvfs.a(vfs_uart.c.obj)\n"
        " .rodata.uart_rx_char.str1.4\n"
        "                0x08000000       0x8e libvfs.a(vfs_uart.c.obj)\n"
        " *fill*         0x0800008e        0x2 \n"
        " .rodata.other  0x08000090       0x90 main.o\n");
    ASSERT_EQ(esp.program.size(), 4u);
    EXPECT_EQ(counted(esp.program), 0x120u);
    for (const c_map_entry& e : esp.program) {
        if (e.name == ".rodata.uart_tx_char.str1.4") {
            EXPECT_EQ(e.size, 0u);
            EXPECT_EQ(e.listed_size(), 0xc0u);
        } else if (e.name == ".rodata.uart_rx_char.str1.4") {
            EXPECT_EQ(e.size, 0x8eu);
            EXPECT_EQ(e.uncounted, 0u);
        }
    }

    // arm-none-eabi-ld: the piece merged away is listed at the section's end.
    const parse_result arm = parse(
        "Linker script and memory map\n"
        ".text           0x08000000       0x49\n"
        " .text.a_name   0x08000000       0x24 a.o\n"
        " .rodata.a_name.str1.4\n"
        "                0x08000024       0x25 a.o\n"
        " .rodata.b_name.str1.4\n"
        "                0x08000049       0x25 b.o\n");
    EXPECT_EQ(counted(arm.program), 0x49u);
    EXPECT_EQ(arm.program.back().name, ".rodata.b_name.str1.4");
    EXPECT_EQ(arm.program.back().size, 0u);
    EXPECT_EQ(arm.program.back().listed_size(), 0x25u);
}

TEST_F(GnuExact, GapsAreTheSectionsOwnAndPiecesNeverReachPastIt) {
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".text           0x08000000       0x40\n"
        " .text.a        0x08000008       0x10 a.o\n"
        " .text.b        0x08000020       0x30 b.o\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".text", ".text.a", ".text", ".text.b"}));
    EXPECT_EQ(counted(r.program), 0x40u);
    EXPECT_EQ(r.program.back().size, 0x20u);  // cut at the section's end
}

TEST_F(GnuExact, SectionsSharingAddressesCountOnce) {
    // An OVERLAY window counts as its largest member, whichever comes first; the (COPY)
    // sections of CMSIS start-up files count as the first one at the address.
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".ov1            0x20000010       0x80 load address 0x08000060\n"
        " .ov1           0x20000010       0x80 c.o\n"
        ".ov2            0x20000010      0x100 load address 0x080000e0\n"
        " .ov2           0x20000010      0x100 c.o\n"
        ".heap           0x20000110      0x400 load address 0x080001e0\n"
        " *fill*         0x20000110      0x400 \n"
        ".stack_dummy    0x20000110      0x200 load address 0x080001e0\n"
        " *fill*         0x20000110      0x200 \n");
    EXPECT_EQ(counted(r.memory), 0x100u + 0x400u);
    // Both load images are real: the overlay's members are kept apart in flash.
    EXPECT_EQ(counted(r.program), 0x180u);
}

TEST_F(GnuExact, AnInfoSectionAtAddressZeroCountsOnlyBeyondTheCode) {
    // An (INFO) section is listed like any other, at address 0 after the code of a flash that
    // begins there: it counts only what lies beyond the bytes that .text holds.
    def.program = {{0x0, 0x10000, no_area}};
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".text           0x00000000       0x40\n"
        " .text          0x00000000       0x40 main.o\n"
        ".build_info     0x00000000       0x50\n"
        " .build_info    0x00000000       0x50 info.o\n");
    EXPECT_EQ(counted(r.program), 0x50u);
}

TEST_F(GnuExact, ThreadLocalZeroDataTakesNoRoomOfItsOwn) {
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".tdata          0x20000000        0x4 load address 0x08000058\n"
        " .tdata         0x20000000        0x4 c.o\n"
        ".tbss           0x20000004        0x4 load address 0x0800005c\n"
        " .tbss          0x20000004        0x4 c.o\n"
        ".tbss_space     0x20000004        0x4 load address 0x0800005c\n"
        "                0x20000008                        . = (. + SIZEOF (.tbss))\n"
        " *fill*         0x20000004        0x4 \n"
        ".data           0x20000008        0x4 load address 0x0800005c\n"
        " .data          0x20000008        0x4 c.o\n");
    EXPECT_EQ(counted(r.memory), 12u);
    EXPECT_EQ(counted(r.program), 8u);  // .tdata and .data images
    // The .tbss entry stays listed, counting nothing.
    const std::vector<std::string> in_ram = names(r.memory);
    EXPECT_EQ(std::count(in_ram.begin(), in_ram.end(), ".tbss"), 1);
}

TEST_F(GnuExact, ANoLoadSectionShowsByTheLoadAddressThatFollowsIt) {
    // The NOLOAD .dma_buffers (its pieces not named as zero data) prints the load address at
    // which the .data after it is loaded: it has no load image. The .ramfunc before it has
    // one: the next load address lies past its image.
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".ramfunc        0x10000000        0xc load address 0x080002f0\n"
        " .ramfunc       0x10000000        0xc a.o\n"
        ".dma_buffers    0x10000010      0x200 load address 0x080002fc\n"
        " .dma_buffers   0x10000010      0x200 b.o\n"
        ".bss            0x20000000       0x10\n"
        " .bss           0x20000000       0x10 a.o\n"
        ".data           0x20000010        0x4 load address 0x080002fc\n"
        " .data          0x20000010        0x4 a.o\n");
    EXPECT_EQ(counted(r.program), 0xcu + 0x4u);
    EXPECT_EQ(counted(r.memory), 0xcu + 0x200u + 0x10u + 0x4u);
    // The images, counted after the sections that decided them, keep their pieces' names.
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".ramfunc", ".data"}));
    EXPECT_EQ(r.program.front().origin, r.memory.front().origin);

    // Without a section after it that has a load address, the flash section that follows
    // starts where the image would have been.
    const parse_result tail = parse(
        "Linker script and memory map\n"
        ".dma_buffers    0x10000010      0x200 load address 0x08000100\n"
        " .dma_buffers   0x10000010      0x200 b.o\n"
        ".text_tail      0x08000100       0x20\n"
        " .text          0x08000100       0x20 c.o\n");
    EXPECT_EQ(counted(tail.program), 0x20u);

    // Last in the map, nothing says otherwise: the image counts.
    const parse_result last = parse(
        "Linker script and memory map\n"
        ".data           0x20000010        0x4 load address 0x080002fc\n"
        " .data          0x20000010        0x4 a.o\n");
    EXPECT_EQ(counted(last.program), 0x4u);
    EXPECT_EQ(last.program.front().address, 0x080002fcu);
}

TEST_F(GnuExact, NoLoadImageForSectionsNamedAsZeroData) {
    // ld prints a load address for a NOLOAD section after an AT> section of the region.
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".ccmdata        0x10000000        0x4 load address 0x080001e4\n"
        " .ccmdata       0x10000000        0x4 c.o\n"
        ".ccmbss         0x10000004      0x800 load address 0x080001e8\n"
        " .ccmbss        0x10000004      0x800 c.o\n");
    EXPECT_EQ(counted(r.program), 4u);
    EXPECT_EQ(counted(r.memory), 0x804u);
}

TEST_F(GnuExact, XtensaTablesTakeNoTargetMemory) {
    def.program = {{0x0, 0x10000, no_area}};
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".xt.prop        0x00000000      0x3a8\n"
        " .xt.prop       0x00000000       0x24 main.o\n"
        ".xt.lit         0x00000000       0x18\n"
        ".xtensa.info    0x00000000       0x38\n"
        ".text           0x00000100        0x8\n"
        " .text          0x00000100        0x8 main.o\n");
    EXPECT_EQ(names(r.program), std::vector<std::string>{".text"});
}

TEST_F(GnuExact, SectionsCountInTheAreaTheyStartInAlsoPastItsEnd) {
    def.program = {{0x08000000, 0x100, no_area}};
    const parse_result r = parse(
        "Linker script and memory map\n"
        ".text           0x08000000      0x180\n"
        " .text          0x08000000      0x180 main.o\n"
        ".rodata         0x08000180       0x40\n"
        " .rodata        0x08000180       0x40 main.o\n"
        ".data           0x20000000        0x8 load address 0x080001c0\n"
        " .data          0x20000000        0x8 main.o\n"
        ".far            0x30000000       0x10\n"
        " .far           0x30000000       0x10 main.o\n");
    // The sections after the overflowing one follow it in the same region.
    EXPECT_EQ(counted(r.program), 0x180u + 0x40u + 0x8u);
    EXPECT_EQ(counted(r.memory), 8u);
    // As arm-none-eabi-ld writes it for a program of 0x26 bytes of code and constants linked
    // into 32 bytes of flash: empty sections aligned after the ".text" reach past where the
    // load image of ".data" starts, right after the ".text"; that image counts in FLASH too.
    def.program = {{0x08000000, 0x20, no_area}};
    def.memory = {{0x20000000, 0x2000, no_area}};
    const parse_result arm = parse(
        "Linker script and memory map\n"
        ".text           0x08000000       0x26\n"
        " .text          0x08000000       0x26 main.o\n"
        ".glue_7         0x08000028        0x0\n"
        " .glue_7        0x08000028        0x0 linker stubs\n"
        ".data           0x20000000        0x4 load address 0x08000026\n"
        " .data          0x20000000        0x4 main.o\n"
        ".igot.plt       0x20000004        0x0 load address 0x0800002a\n"
        ".bss            0x20000004       0x10 load address 0x0800002a\n"
        " .bss           0x20000004       0x10 main.o\n");
    EXPECT_EQ(counted(arm.program), 0x26u + 4u);
    EXPECT_EQ(counted(arm.memory), 4u + 0x10u);
    // A section far from every region lies in none.
    c_map_file_gnu reader(
        text_source::text("Linker script and memory map\n"
                          ".far            0x30000000       0x10\n"
                          " .far           0x30000000       0x10 main.o\n"));
    c_entry_list program;
    c_entry_list memory;
    EXPECT_FALSE(test::placed_any(reader.parse(def, program, memory)));
    EXPECT_EQ(reader.unplaced().size(), 1u);
}

c_memory_def areas_of(const std::string& map) {
    c_map_file_gnu reader(text_source::text(map));
    c_memory_def def;
    EXPECT_TRUE(reader.define_areas(def));
    return def;
}

TEST(GnuRegionKinds, AttributesThenContentsThenNames) {
    // No letters (TI's msp430 scripts, the ESP8266 SDK): what the map places decides, then
    // the name; a region nothing decides counts in neither total.
    const c_memory_def def = areas_of(
        "Memory Configuration\n"
        "Name Origin Length Attributes\n"
        "iram1_0_seg      0x40100000         0x00008000\n"
        "dram0_0_seg      0x3ffe8000         0x00014000\n"
        "irom0_0_seg      0x40201010         0x000fbff0\n"
        "SRAM0            0x20000000         0x00010000\n"
        "INFOA            0x00001980         0x00000080\n"
        "FLASH            0x08000000         0x00010000 xr\n"
        "Linker script and memory map\n"
        ".text           0x40100000       0x40\n"
        " .text          0x40100000       0x40 a.o\n"
        ".data           0x3ffe8000        0x8 load address 0x40201010\n"
        " .data          0x3ffe8000        0x8 a.o\n");
    EXPECT_EQ(def.program_names, (std::vector<std::string>{"iram1_0_seg", "irom0_0_seg", "FLASH"}));
    EXPECT_EQ(def.memory_names, (std::vector<std::string>{"dram0_0_seg", "SRAM0"}));
    EXPECT_EQ(def.other_names, std::vector<std::string>{"INFOA"});
    EXPECT_EQ(def.kind_sources, (std::vector<std::string>{"contents", "contents", "attributes",
                                                          "contents", "name", "undecided"}));
}

TEST(GnuRegionKinds, AvrDeviceRegionsAndOneMemoryUnderTwoNames) {
    const c_memory_def avr = areas_of(
        "Memory Configuration\n"
        "Name Origin Length Attributes\n"
        "text 0x0000000000000000 0x0000000000004000 xr\n"
        "data 0x0000000000800060 0x0000000000000400 rw !x\n"
        "eeprom 0x0000000000810000 0x0000000000000200 rw !x\n"
        "fuse 0x0000000000820000 0x0000000000000002 rw !x\n"
        "lock 0x0000000000830000 0x0000000000000400 rw !x\n"
        "signature 0x0000000000840000 0x0000000000000400 rw !x\n");
    EXPECT_EQ(avr.program_names, std::vector<std::string>{"text"});
    EXPECT_EQ(avr.memory_names, std::vector<std::string>{"data"});
    EXPECT_EQ(avr.eeprom_names, std::vector<std::string>{"eeprom"});
    EXPECT_EQ(avr.other_names, (std::vector<std::string>{"fuse", "lock", "signature"}));

    // Zephyr lists the devicetree's name for the RAM region too.
    const c_memory_def zephyr = areas_of(
        "Memory Configuration\n"
        "Name Origin Length Attributes\n"
        "FLASH 0x00000000 0x00100000 xr\n"
        "RAM 0x20010000 0x00040000 xw\n"
        "SRAM0 0x20010000 0x00040000\n");
    EXPECT_EQ(zephyr.memory_names, std::vector<std::string>{"RAM"});
    EXPECT_TRUE(zephyr.other.empty());
}

TEST(GnuRegionKinds, NoRegionsGiveAMapSummedByKind) {
    const std::string map =
        "Memory Configuration\n"
        "Name             Origin             Length             Attributes\n"
        "*default*        0x00000000         0xffffffff\n"
        "Linker script and memory map\n"
        ".text           0x00008000       0x58\n"
        " .text          0x00008000       0x58 c.o\n"
        ".data           0x00009060        0x4\n"
        " .data          0x00009060        0x4 c.o\n"
        ".bss            0x00009064        0x8\n"
        " .bss           0x00009064        0x8 c.o\n";
    c_map_file_gnu reader(text_source::text(map));
    c_memory_def def;
    ASSERT_TRUE(reader.define_areas(def));
    EXPECT_TRUE(def.without_regions);
    c_entry_list program;
    c_entry_list memory;
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    EXPECT_EQ(program.size(), 1u);
    EXPECT_EQ(memory.size(), 2u);
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

// One placed entry, as the comparison below sees it.
using entry_figures = std::tuple<std::string, std::uint32_t, std::uint32_t, std::uint32_t>;

std::vector<entry_figures> figures(const std::vector<c_map_entry>& entries) {
    std::vector<entry_figures> result;
    for (const c_map_entry& e : entries) {
        result.emplace_back(std::string(e.name), e.address, e.size, e.uncounted);
    }
    std::sort(result.begin(), result.end());
    return result;
}

std::vector<entry_figures> figures(const std::vector<gnu::section_piece>& pieces) {
    std::vector<entry_figures> result;
    for (const gnu::section_piece& p : pieces) {
        if (p.size == 0) {
            continue;  // a piece listed without bytes is no entry
        }
        result.emplace_back(std::string(p.name), static_cast<std::uint32_t>(p.address),
                            static_cast<std::uint32_t>(p.counted),
                            static_cast<std::uint32_t>(p.size - p.counted));
    }
    std::sort(result.begin(), result.end());
    return result;
}

std::string hex16(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
    return text;
}

// The reader counts a section's pieces as they come, knowing only the next piece with bytes;
// counted_pieces counts a section held whole. On random sections with merged, empty,
// overlapping and uncovered pieces, pieces past the section's end, names alone on their line
// and data statements, both must give the same entries, at the run address and in the load
// image.
TEST_F(GnuExact, PiecesCountedAsTheyComeGiveWhatTheWholeSectionGives) {
    test::c_random_sections random(12345);
    for (int round = 0; round < 200; ++round) {
        const bool with_image = round % 3 == 0;
        test::random_section made = with_image ? random.next(".data", 0x20000000, true)
                                               : random.next(".text", 0x08000000, true);
        gnu::output_section& section = made.section;
        std::string body;
        for (std::size_t i = 0; i < section.pieces.size(); ++i) {
            const gnu::section_piece& p = section.pieces[i];
            const std::string name(p.name);
            if (made.is_statement[i]) {
                body += "                " + hex16(p.address) + " " + hex16(p.size) + " LONG 0x1\n";
            } else if (random.below(2) == 0) {
                body += " " + name + "\n                " + hex16(p.address) + " " + hex16(p.size) +
                        " " + std::string(p.file) + "\n";
            } else {
                body += " " + name + " " + hex16(p.address) + " " + hex16(p.size) + " " +
                        std::string(p.file) + "\n";
            }
            body += "                " + hex16(p.address) + "                symbol_" +
                    std::to_string(i) + "\n";
        }
        std::string header =
            section.name + "           " + hex16(section.address) + " " + hex16(section.size);
        if (with_image) {
            section.has_load_address = true;
            section.load_address = 0x08008000;
            header += " load address " + hex16(section.load_address);
        }
        const std::vector<gnu::section_piece> expected = gnu::counted_pieces(section);
        const parse_result r = parse("Linker script and memory map\n" + header + "\n" + body);
        SCOPED_TRACE("round " + std::to_string(round) + "\n" + header + "\n" + body);
        std::vector<c_map_entry> placed = r.program;
        placed.insert(placed.end(), r.memory.begin(), r.memory.end());
        ASSERT_EQ(figures(placed), figures(expected));
    }
}

}  // namespace
}  // namespace tarvel
