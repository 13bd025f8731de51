#include "mapfile/detect_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
#include "support/toolchain_maps.h"

namespace tarvel {
namespace {

std::string example_map(const std::string& folder) {
    return (std::filesystem::path(TARVEL_SOURCE_DIR) / "examples" / folder / "application.map")
        .string();
}

TEST(DetectFormat, EveryBundledExampleIsItsOwnType) {
    struct example {
        const char* folder;
        const char* keyword;
    };
    for (const example& e :
         {example{"orca", "Orca"}, example{"puma", "Puma"},
          example{"puma_mem32_unlimited", "Puma_mem32_unlimited"}, example{"ibex", "Ibex"},
          example{"wren", "Wren"}, example{"gnu", "Gnu"}, example{"otter", "Otter"},
          example{"armlink", "Armlink"}, example{"iar", "Iar"}, example{"ti", "Ti"}}) {
        EXPECT_EQ(detect_format(example_map(e.folder)).keyword, e.keyword) << e.folder;
    }
}

TEST(DetectFormat, RealToolchainMapsAreGnu) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    for (const std::string& build : test::toolchain_builds()) {
        EXPECT_EQ(detect_format(test::toolchain_map(build)).keyword, "Gnu") << build;
    }
}

class DetectText : public ::testing::Test {
  protected:
    std::string detect(const std::string& text, std::size_t limit = detect_line_limit) {
        return detect_format(dir.write("a.map", text).string(), limit).keyword;
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
    // The line after a section line is its attribute line, whatever it holds.
    EXPECT_EQ(detect("  1  .text  00000200  00000100  x\n"
                     "  2  .data_begin  00000000  03fe0000  x\n"),
              "Puma");
}

TEST_F(DetectText, NothingKnownNamesWhatWasLookedFor) {
    const detected_format none = detect_format(dir.write("b.map", "hello\nworld\n").string());
    EXPECT_EQ(none.keyword, "");
    for (const char* evidence :
         {"Memory map", "Memory Configuration", "Linker script and memory map", "Size(hex)", "Orca",
          "Gnu", "Otter", "Armlink", "Iar", "Ti", "Puma", "Puma_mem32_unlimited", "Ibex", "Wren",
          "100000 lines"}) {
        EXPECT_NE(none.looked_for.find(evidence), std::string::npos) << evidence;
    }
    EXPECT_EQ(detect_format((dir.path() / "missing.map").string()).keyword, "");
    EXPECT_EQ(detect(""), "");
}

TEST_F(DetectText, ReadsNoFurtherThanTheLimit) {
    std::string map(10, '\n');
    map += "Memory Configuration\n";
    EXPECT_EQ(detect(map, 10), "");
    EXPECT_EQ(detect(map, 11), "Gnu");
}

}  // namespace
}  // namespace tarvel
