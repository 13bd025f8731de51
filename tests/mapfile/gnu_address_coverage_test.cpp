#include "mapfile/gnu_address_coverage.h"

#include <gtest/gtest.h>

namespace tarvel::gnu {
namespace {

TEST(GnuAddressCoverage, EachByteIsClaimedOnce) {
    c_address_coverage coverage;
    EXPECT_EQ(coverage.claim(0x100, 0x200), 0x100u);
    EXPECT_EQ(coverage.claim(0x100, 0x180), 0u);     // inside
    EXPECT_EQ(coverage.claim(0x80, 0x280), 0x100u);  // around: both ends new
    EXPECT_EQ(coverage.claim(0x300, 0x310), 0x10u);  // apart
    EXPECT_EQ(coverage.claim(0x270, 0x320), 0x90u);  // bridges two ranges, passes the second
    EXPECT_EQ(coverage.claim(0x0, 0x400), 0x80u + 0xe0u);
    EXPECT_EQ(coverage.claim(0x10, 0x10), 0u);
}

TEST(GnuAddressCoverage, TouchingRangesDoNotOverlap) {
    c_address_coverage coverage;
    EXPECT_EQ(coverage.claim(0x100, 0x200), 0x100u);
    EXPECT_EQ(coverage.claim(0x200, 0x300), 0x100u);
    EXPECT_EQ(coverage.claim(0xff, 0x100), 1u);
    EXPECT_EQ(coverage.claim(0xff, 0x300), 0u);
}

}  // namespace
}  // namespace tarvel::gnu
