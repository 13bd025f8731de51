#include "mapfile/gnu_memory_regions.h"

#include <gtest/gtest.h>

namespace tarvel::gnu {
namespace {

TEST(GnuRegionAttributes, WritingAllowedUnlessNegated) {
    struct example {
        const char* attributes;
        bool writable;
    };
    for (const example& e : {
             example{"xrw", true}, example{"rwx", true}, example{"W", true}, example{"rw!x", true},
             example{"rw !x", true},  // ld's AVR script, as the map prints it
             example{"xr", false}, example{"rx", false}, example{"", false}, example{"!w", false},
             example{"rx!w", false}, example{"!rw", false},
             example{"w!w", false},   // allowed and denied: ld would not put data there
             example{"x!r!w", true},  // the second "!" reverses the sense back
         }) {
        EXPECT_EQ(attributes_allow_writing(e.attributes), e.writable) << e.attributes;
    }
}

TEST(GnuRegionLines, RegionsOfThirtyTwoAndSixtyFourBitMaps) {
    memory_region region;
    ASSERT_TRUE(
        read_region_line("FLASH            0x08000000         0x00010000         xr", region));
    EXPECT_EQ(region.name, "FLASH");
    EXPECT_EQ(region.origin, 0x08000000u);
    EXPECT_EQ(region.length, 0x10000u);
    EXPECT_FALSE(region.writable);

    ASSERT_TRUE(
        read_region_line("data             0x0000000000800100 0x0000000000000800 rw !x", region));
    EXPECT_EQ(region.name, "data");
    EXPECT_EQ(region.origin, 0x800100u);
    EXPECT_EQ(region.length, 0x800u);
    EXPECT_TRUE(region.writable);

    ASSERT_TRUE(read_region_line("RAM 0x20000000 0x4000", region));  // no attributes
    EXPECT_FALSE(region.writable);
    EXPECT_EQ(region.attributes, "");
    ASSERT_TRUE(read_region_line("data 0x800100 0x800 rw !x \r", region));
    EXPECT_EQ(region.attributes, "rw !x");
}

TEST(GnuRegionLines, NoRegionForDefaultHeadingAndWhatLiesBeyondThirtyTwoBits) {
    memory_region region;
    EXPECT_FALSE(read_region_line("*default*        0x00000000         0xffffffff", region));
    EXPECT_FALSE(
        read_region_line("Name             Origin             Length             "
                         "Attributes",
                         region));
    EXPECT_FALSE(read_region_line("", region));
    EXPECT_FALSE(read_region_line("HIGH 0x0000000100000000 0x1000 rw", region));
    // A region reaching past 2^32 ends there.
    ASSERT_TRUE(read_region_line("TOP 0x00000000fffff000 0x0000000000100000 rw", region));
    EXPECT_EQ(region.origin, 0xFFFFF000u);
    EXPECT_EQ(region.length, 0x1000u);
    ASSERT_TRUE(read_region_line("ALL 0x0 0xffffffffffffffff rwx", region));
    EXPECT_EQ(region.length, 0xFFFFFFFFu);
}

TEST(GnuRegionKinds, LettersDecideOnlyWhenTheyNameReadWriteOrCode) {
    EXPECT_EQ(kind_by_attributes("xw"), region_kind::ram);
    EXPECT_EQ(kind_by_attributes("rw !x"), region_kind::ram);
    EXPECT_EQ(kind_by_attributes("R"), region_kind::program);  // ESP32 drom
    EXPECT_EQ(kind_by_attributes("rx"), region_kind::program);
    EXPECT_EQ(kind_by_attributes("!w"), region_kind::program);
    EXPECT_EQ(kind_by_attributes(""), std::nullopt);
    EXPECT_EQ(kind_by_attributes("a"), std::nullopt);
}

TEST(GnuRegionKinds, NamesTellProgramMemoryBeforeRam) {
    for (const char* name :
         {"FLASH", "rom", "IROM1", "irom0_0_seg", "drom0_0_seg", "PROGRAM", "FRAM", "text"}) {
        EXPECT_EQ(kind_by_name(name), region_kind::program) << name;
    }
    for (const char* name : {"RAM", "SRAM1", "DTCM", "CCMRAM", "DRAM0", "rtc_iram_seg", "SDRAM1",
                             "dram0_0_seg", "data"}) {
        EXPECT_EQ(kind_by_name(name), region_kind::ram) << name;
    }
    EXPECT_EQ(kind_by_name("INFOA"), std::nullopt);
    EXPECT_EQ(kind_by_name("BSL"), std::nullopt);
}

TEST(GnuRegionKinds, DeviceNamesThenLettersThenContentsThenName) {
    memory_region region;
    region.name = "eeprom";
    region.attributes = "rw !x";
    EXPECT_EQ(decide_kind(region, {}).kind, region_kind::eeprom);
    region.name = "user_signatures";
    EXPECT_EQ(decide_kind(region, {}).kind, region_kind::other);
    region.name = "IDT_LIST";
    region.attributes = "wx";
    EXPECT_EQ(decide_kind(region, {true, false}).kind, region_kind::other);
    EXPECT_EQ(decide_kind(region, {true, false}).source, kind_source::known_region_name);

    // Letters win over what lies there: code copied to an "rx" RAM stays program memory.
    region.name = "iram0_0_seg";
    region.attributes = "rx";
    EXPECT_EQ(decide_kind(region, {true, false}).source, kind_source::attributes);
    EXPECT_EQ(decide_kind(region, {true, false}).kind, region_kind::program);

    // Without letters, writable data makes RAM even beside code; load images alone program.
    region.attributes.clear();
    region.name = "FLASH";
    EXPECT_EQ(decide_kind(region, {true, true}).kind, region_kind::ram);
    region.name = "SRAM0";
    EXPECT_EQ(decide_kind(region, {false, true}).kind, region_kind::program);
    EXPECT_EQ(decide_kind(region, {}).kind, region_kind::ram);
    EXPECT_EQ(decide_kind(region, {}).source, kind_source::name);
    region.name = "INFOB";
    EXPECT_EQ(decide_kind(region, {}).kind, region_kind::other);
    EXPECT_EQ(decide_kind(region, {}).source, kind_source::undecided);
}

TEST(GnuRegionKinds, SameOriginAndLengthAreOneRegionNamedByTheLetteredOne) {
    std::vector<memory_region> regions(4);
    regions[0] = {"SRAM0", 0x20010000, 0x40000, "", false};
    regions[1] = {"FLASH", 0x0, 0x100000, "rx", false};
    regions[2] = {"RAM", 0x20010000, 0x40000, "xw", true};
    regions[3] = {"SRAM1", 0x20010000, 0x20000, "", false};  // same origin, other length
    const std::vector<std::size_t> became = merge_same_regions(regions);
    ASSERT_EQ(regions.size(), 3u);
    EXPECT_EQ(regions[0].name, "RAM");
    EXPECT_EQ(became, (std::vector<std::size_t>{0, 1, 0, 2}));
}

}  // namespace
}  // namespace tarvel::gnu
