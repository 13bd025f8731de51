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

}  // namespace
}  // namespace tarvel::gnu
