#include "mapfile/origin_table.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tarvel {
namespace {

TEST(SplitOrigin, ArchiveMembersAndObjectFiles) {
    entry_origin o = split_origin("libhal.a(uart.o)");
    EXPECT_EQ(o.object, "uart.o");
    EXPECT_EQ(o.archive, "libhal.a");
    o = split_origin("C:/Program Files (x86)/gcc/lib/libc.a(lib_a-memcpy.o)");
    EXPECT_EQ(o.object, "lib_a-memcpy.o");
    EXPECT_EQ(o.archive, "C:/Program Files (x86)/gcc/lib/libc.a");
    o = split_origin("main.o");
    EXPECT_EQ(o.object, "main.o");
    EXPECT_EQ(o.archive, "");
    o = split_origin("linker stubs");
    EXPECT_EQ(o.object, "linker stubs");
    // Brackets that do not end the name, or hold nothing, are part of an object's name.
    EXPECT_EQ(split_origin("odd(name).o").archive, "");
    EXPECT_EQ(split_origin("lib.a()").archive, "");
    EXPECT_EQ(split_origin("(x)").archive, "");
}

TEST(OriginTable, EachDistinctPairOnce) {
    std::vector<entry_origin> origins;
    c_origin_table table(origins);
    EXPECT_EQ(table.index_of("main.o"), 0u);
    EXPECT_EQ(table.index_of("libhal.a(uart.o)"), 1u);
    EXPECT_EQ(table.index_of("main.o"), 0u);
    EXPECT_EQ(table.index_of("libother.a(uart.o)"), 2u);  // same member, other archive
    EXPECT_EQ(table.index_of("uart.o"), 3u);
    EXPECT_EQ(table.index_of("libhal.a(uart.o)"), 1u);
    EXPECT_EQ(table.index_of(""), no_origin);
    EXPECT_EQ(origins.size(), 4u);
    // A name looked up from a buffer that is then overwritten stays known by its text.
    std::string buffer = "libx.a(y.o)";
    EXPECT_EQ(table.index_of(buffer), 4u);
    buffer.assign("libx.a(z.o)");
    EXPECT_EQ(table.index_of(buffer), 5u);
    EXPECT_EQ(table.index_of("libx.a(y.o)"), 4u);
    EXPECT_EQ(origins[4].object, "y.o");
}

TEST(OriginTable, ThousandsOfSpellingsKeepTheirIndexes) {
    std::vector<entry_origin> origins;
    c_origin_table table(origins);
    for (int round = 0; round < 2; ++round) {
        for (std::uint32_t i = 0; i < 5000; ++i) {
            char object[32];
            std::snprintf(object, sizeof object, "o%u.o", static_cast<unsigned>(i));
            // Every second object is also spelled as a member of an archive: another origin.
            ASSERT_EQ(table.index_of(object), 2 * i);
            char member[48];
            std::snprintf(member, sizeof member, "lib.a(%s)", object);
            ASSERT_EQ(table.index_of(member), 2 * i + 1);
        }
    }
    EXPECT_EQ(origins.size(), 10000u);
    EXPECT_EQ(origins[9999].archive, "lib.a");
}

}  // namespace
}  // namespace tarvel
