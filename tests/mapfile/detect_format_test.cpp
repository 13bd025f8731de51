#include "mapfile/detect_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mapfile/map_formats.h"
#include "support/example_folder.h"
#include "support/temp_dir.h"
#include "support/toolchain_maps.h"

namespace tarvel {
namespace {

std::string example_map(const std::string& folder) {
    return (std::filesystem::path(TARVEL_SOURCE_DIR) / "examples" / folder / "application.map")
        .string();
}

// Every format has its example in examples/<keyword in lower case>/.
TEST(DetectFormat, EveryBundledExampleIsItsOwnType) {
    for (const map_format& format : map_formats()) {
        const std::string folder = test::example_folder(format.keyword);
        EXPECT_EQ(detect_format(text_source::file(example_map(folder))).keyword, format.keyword)
            << folder;
    }
}

TEST(DetectFormat, RealToolchainMapsAreGnu) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    for (const std::string& build : test::toolchain_builds()) {
        EXPECT_EQ(detect_format(text_source::file(test::toolchain_map(build))).keyword, "Gnu")
            << build;
    }
}

class DetectText : public ::testing::Test {
  protected:
    std::string detect(const std::string& text, std::size_t limit = detect_line_limit) {
        return detect_format(text_source::file(dir.write("a.map", text).string()), limit).keyword;
    }
    test::c_temp_dir dir;
};

TEST_F(DetectText, HeadingsDecide) {
    EXPECT_EQ(detect("Memory map of app.abs\nLinker script and memory map\n"), "Orca");
    EXPECT_EQ(detect("title\nMemory map\n"), "");  // only the first line tells Orca
    EXPECT_EQ(detect("Memory Configuration\n"), "Gnu");
    EXPECT_EQ(detect("Archive member included to satisfy reference by file (symbol)\n\n"
                     "Linker script and memory map\n"),
              "Gnu");
    EXPECT_EQ(detect("Load Map\n\nSection  Base  Size(hex)  Size(dec)  SecOffs\n"), "Otter");
    EXPECT_EQ(detect("Origin+Size  Section  Module\n"), "Otter");
}

TEST_F(DetectText, SectionTablesByTheirNamesAndAddresses) {
    const std::string puma =
        "  1  .text  00000200  00000100  PROGBITS\n  flags AX\n"
        "  2  .bss   00000010  ffff8000  NOBITS\n  flags WA\n";
    EXPECT_EQ(detect(puma), "Puma");
    // A name that only Ibex and Wren list; with ".data_begin" or the stack symbols, Wren.
    EXPECT_EQ(detect(puma + "  3  .bsct  00000010  fffffe20  x\n  flags\n"), "Ibex");
    EXPECT_EQ(detect(puma + "  3  .data, initialized  00000010  00001000  x\n  a\n"), "Ibex");
    EXPECT_EQ(detect(puma + "  3  .data_begin  00000000  03fe0000  x\n  a\n"), "Wren");
    EXPECT_EQ(detect(puma + "03fe8000 B __stack_begin\n"), "Wren");
    // A name of no list, a bracketed name, or an address that 26 bits cannot hold.
    EXPECT_EQ(detect(puma + "  3  .calib_data  00000800  ff200000  x\n  a\n"),
              "Puma_mem32_unlimited");
    EXPECT_EQ(detect(puma + "  3  [.bss]  00000800  fede0000  x\n  a\n"), "Puma_mem32_unlimited");
    EXPECT_EQ(detect("  1  .text  00000200  08000000  x\n  a\n"), "Puma_mem32_unlimited");
    // Debugging sections and the heap are in every section map and decide nothing.
    EXPECT_EQ(detect(puma + "  3  .debug_info  00000800  00000000  x\n  a\n"
                            "  4  .heap  00000800  ffffd2e8  x\n  a\n"),
              "Puma");
}

TEST_F(DetectText, ASectionLineNeedsItsAttributeLine) {
    EXPECT_EQ(detect("  1  .text  00000200  00000100  PROGBITS\n\n\n"), "");
    // A section line followed by another is no section table, wherever it stands.
    EXPECT_EQ(detect("  1  .text  00000200  00000100  x\n"
                     "  2  .data_begin  00000000  03fe0000  x\n"),
              "");
    EXPECT_EQ(detect("  1  .text  00000200  00000100  x\n  AX\n"
                     "  2  .bss  00000200  00000300  x\n"
                     "  3  .data  00000200  00000500  x\n  WA\n"),
              "");
}

// Tables of other linkers have numbers in columns on line after line, which the section-line
// pattern takes; they are never section maps.
TEST_F(DetectText, TablesOfOtherLinkersAreNoSectionMaps) {
    // armlink's component sizes, TI's section allocation map: no banner, just the tables.
    EXPECT_EQ(detect("      Code (inc. data)   RO Data    RW Data    ZI Data      Debug   Object\n"
                     "\n"
                     "        64          8          0          0          0        220   a.o\n"
                     "       120         12          4          8          0        516   b.o\n"),
              "");
    EXPECT_EQ(detect("  output                                  attributes/\n"
                     "section   page    origin      length       input sections\n"
                     "--------  ----  ----------  ----------   ----------------\n"
                     "  0     00000000    00000000    00000040     \n"
                     "  1     00000040    00000040    00000200     \n"),
              "");
    // lld's table, without its heading line.
    EXPECT_EQ(detect(" 8000000  8000000       64     4 .text\n"
                     " 8000000  8000000       24     2         main.o:(.text.main)\n"
                     " 8000001  8000001       24     1                 main\n"),
              "");
}

TEST_F(DetectText, LldByItsTableHeading) {
    EXPECT_EQ(detect("     VMA      LMA     Size Align Out     In      Symbol\n"
                     " 8000000  8000000       64     4 .text\n"),
              "Lld");
    EXPECT_EQ(detect("Address          Size             Align Out     In      Symbol\n"), "Lld");
}

// The banners of armlink, ILINK and the TI ARM and MSP430 linkers name formats that are read:
// their maps are never turned away as foreign, whatever follows the banner.
TEST_F(DetectText, VendorLinkersByBannerOrHeading) {
    EXPECT_EQ(detect("Component: ARM Compiler 5.06 update 6 (build 750) Tool: armlink [4d35ed]\n"),
              "Armlink");
    EXPECT_EQ(detect("Component: Arm Compiler for Embedded 6.19 Tool: armlink [5e73cb00]\n"),
              "Armlink");
    EXPECT_EQ(detect("\n\n==========\n\nMemory Map of the image\n"), "Armlink");
    EXPECT_EQ(detect("###\n#\n# IAR ELF Linker V9.30.1.335/W64 for ARM\n"), "Iar");
    EXPECT_EQ(detect("*** PLACEMENT SUMMARY\n"), "Iar");
    EXPECT_EQ(detect("  TI ARM Linker PC v20.2.7\n"), "Ti");
    EXPECT_EQ(detect("TI ARM Clang Linker Unix v3.2.0.LTS\n"), "Ti");
    EXPECT_EQ(detect("MSP430 Linker PC v21.6.1\n"), "Ti");
    EXPECT_EQ(detect("SECTION ALLOCATION MAP\n"), "Ti");
    // XLINK, IAR's older linker, writes another format.
    EXPECT_EQ(detect("#  IAR Universal Linker V4.61B/386\n"), "");
}

TEST_F(DetectText, LinkersWhoseMapsAreNotReadAreNamed) {
    const auto foreign = [](const std::string& text) {
        return detect_format(text_source::text(text)).foreign_linker;
    };
    EXPECT_EQ(foreign("###############\n#  IAR Universal Linker V4.61B/386\n"), "IAR XLINK");
    EXPECT_EQ(foreign("  TI C2000 Linker PC v22.6.0\n"), "a TI linker (C2000)");
    EXPECT_EQ(foreign("Renesas Optimizing Linker (W3.05.00 )  01-Jan-2024 12:00:00\n"),
              "the Renesas optimizing linker (CC-RX, CC-RL or CC-RH)");
    EXPECT_EQ(foreign("\fASxxxx Linker V03.00 + NoICE + sdld,  page 1.\n"), "SDCC (sdld)");
    // XC16 writes ld's headings too, after its own usage tables.
    const detected_format xc16 = detect_format(text_source::text(
        "Program Memory Usage\n\nsection  address  length (PC units)  length (bytes) (dec)\n"
        "\nMemory Configuration\n"));
    EXPECT_EQ(xc16.foreign_linker, "Microchip XC16");
    EXPECT_EQ(xc16.keyword, "");
    // A heading of a format that is read, on an earlier line, decides first.
    EXPECT_EQ(detect("Memory Configuration\nIAR ELF Linker\n"), "Gnu");
}

TEST_F(DetectText, NothingKnownNamesWhatWasLookedFor) {
    const detected_format none = detect_format(text_source::text("hello\nworld\n"));
    EXPECT_EQ(none.keyword, "");
    EXPECT_EQ(none.foreign_linker, "");
    // Every format in plain words, with its keyword.
    for (const map_format& format : map_formats()) {
        EXPECT_NE(none.looked_for.find(std::string(format.description) + " (" +
                                       std::string(format.keyword) + ")"),
                  std::string::npos)
            << format.keyword;
    }
    for (const char* words : {"GNU ld", "LLVM lld", "image-summary", "100000 lines"}) {
        EXPECT_NE(none.looked_for.find(words), std::string::npos) << words;
    }
    EXPECT_EQ(detect_format(text_source::file((dir.path() / "missing.map").string())).keyword, "");
    EXPECT_EQ(detect(""), "");
}

TEST_F(DetectText, LdsListsBeforeTheMemoryConfigurationTellGnuAlready) {
    // A large build linked with --gc-sections lists hundreds of thousands of discarded input
    // sections before its memory configuration: the lists' own headings tell.
    std::string map = "Discarded input sections\n\n";
    for (int i = 0; i < 20; ++i) {
        map += " .text.unused_" + std::to_string(i) + "\n                0x00000000  0x10 a.o\n";
    }
    map += "\nMemory Configuration\n";
    EXPECT_EQ(detect(map, 10), "Gnu");
    EXPECT_EQ(detect("Allocating common symbols\nCommon symbol       size              file\n", 1),
              "Gnu");
    // Another linker's "Cross Reference Table" alone proves nothing.
    EXPECT_EQ(detect("Cross Reference Table\n"), "");
}

TEST_F(DetectText, ReadsNoFurtherThanTheLimit) {
    std::string map(10, '\n');
    map += "Memory Configuration\n";
    EXPECT_EQ(detect(map, 10), "");
    EXPECT_EQ(detect(map, 11), "Gnu");
}

}  // namespace
}  // namespace tarvel
