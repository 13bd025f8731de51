#include "mapfile/gnu_address_coverage.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

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

TEST(GnuAddressCoverage, SharedBytesAreFoundInEitherPlace) {
    c_address_coverage earlier;
    earlier.claim(0x100, 0x200);
    earlier.claim(0x300, 0x400);
    c_address_coverage later;
    later.claim(0x200, 0x300);  // touches both, shares nothing
    EXPECT_FALSE(earlier.shares_bytes_with(later, 0x400, 0x500));
    EXPECT_TRUE(earlier.shares_bytes_with(later, 0x2ff, 0x300));  // the extra range
    later.claim(0x3ff, 0x401);
    EXPECT_TRUE(earlier.shares_bytes_with(later, 0, 0));
    c_address_coverage around;
    around.claim(0x0, 0x1000);  // holds both of earlier's ranges whole
    EXPECT_TRUE(earlier.shares_bytes_with(around, 0, 0));
    EXPECT_FALSE(c_address_coverage().shares_bytes_with(around, 0x1000, 0x2000));
}

// Claims as a section's pieces make them (each continuing, overlapping or skipping past the
// last) mixed with claims anywhere, against a byte-per-address reference.
TEST(GnuAddressCoverage, AgreesWithAByteMapOnRandomClaims) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 200; ++round) {
        c_address_coverage coverage;
        std::vector<bool> held(512, false);
        std::uint64_t cursor = random() % 64;
        for (int claim = 0; claim < 60; ++claim) {
            std::uint64_t from = 0;
            switch (random() % 4) {
                case 0:
                    from = random() % 480;
                    break;  // anywhere
                case 1:
                    from = cursor;
                    break;  // continues the last
                case 2:
                    from = cursor - std::min<std::uint64_t>(cursor, random() % 8);
                    break;
                default:
                    from = cursor + random() % 8;
                    break;  // a gap after the last
            }
            from = std::min<std::uint64_t>(from, 500);
            const std::uint64_t to = std::min<std::uint64_t>(from + random() % 24, 511);
            std::uint64_t fresh = 0;
            for (std::uint64_t a = from; a < to; ++a) {
                fresh += held[a] ? 0 : 1;
                held[a] = true;
            }
            ASSERT_EQ(coverage.claim(from, to), fresh)
                << "round " << round << ", claim " << claim << ": [" << from << ", " << to << ")";
            cursor = std::max(cursor, to);
        }
    }
}

}  // namespace
}  // namespace tarvel::gnu
