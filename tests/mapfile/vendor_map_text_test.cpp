#include "mapfile/vendor_map_text.h"

#include <gtest/gtest.h>

namespace tarvel::vendor {
namespace {

TEST(VendorNumbers, HexadecimalWithOrWithoutPrefixAndGrouped) {
    std::uint64_t value = 0;
    ASSERT_TRUE(read_hex("0x800'0188", value));
    EXPECT_EQ(value, 0x8000188u);
    ASSERT_TRUE(read_hex("00000d2e", value));
    EXPECT_EQ(value, 0xD2Eu);
    ASSERT_TRUE(read_hex("0x0000000000000000ffffffffffffffff", value));  // leading zeros
    EXPECT_EQ(value, 0xFFFFFFFFFFFFFFFFu);
    for (const char* bad : {"", "0x", "'12", "12'", "0x1g", "-", "0x1'0000'0000'0000'0000"}) {
        EXPECT_FALSE(read_hex(bad, value)) << bad;
    }
}

TEST(VendorNumbers, DecimalFiguresAsTheTotalsGroupThem) {
    std::uint64_t value = 0;
    ASSERT_TRUE(read_decimal("5'831", value));
    EXPECT_EQ(value, 5831u);
    EXPECT_FALSE(read_decimal("18446744073709551616", value));
    ASSERT_TRUE(first_grouped_decimal("  32 868 bytes", value));
    EXPECT_EQ(value, 32868u);
    ASSERT_TRUE(first_grouped_decimal("1,234,567 bytes", value));
    EXPECT_EQ(value, 1234567u);
    // A blank before something other than three digits ends the figure.
    ASSERT_TRUE(first_grouped_decimal("964 (   0.94kB)", value));
    EXPECT_EQ(value, 964u);
    ASSERT_TRUE(first_grouped_decimal("12 1234", value));
    EXPECT_EQ(value, 12u);
    EXPECT_FALSE(first_grouped_decimal("no figure", value));
}

}  // namespace
}  // namespace tarvel::vendor
