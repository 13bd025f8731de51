#include "text/hex_number.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarvel {
namespace {

TEST(HexDigits, ReadsEitherCaseAndSaturatesPastThirtyTwoBits) {
    EXPECT_EQ(hex_digits_to_u32(""), 0u);
    EXPECT_EQ(hex_digits_to_u32("0001a2c0"), 0x1A2C0u);
    EXPECT_EQ(hex_digits_to_u32("FEE00000"), 0xFEE00000u);
    EXPECT_EQ(hex_digits_to_u32("ffffffff"), 0xFFFFFFFFu);
    EXPECT_EQ(hex_digits_to_u32("000000000000abc"), 0xABCu);  // leading zeros are not significant
    EXPECT_EQ(hex_digits_to_u32("100000000"), 0xFFFFFFFFu);
    EXPECT_EQ(hex_digits_to_u32("12345678901234567890"), 0xFFFFFFFFu);
}

TEST(HexDigits, AgreesWithFormattedStreamExtraction) {
    // The definition reader uses stream extraction; section maps must read numbers alike.
    for (const char* digits : {"0", "7", "abcdef", "ABCDEF", "ffffffff", "100000000", "0000000010",
                               "fffffffff", "123456789abcdef0123"}) {
        std::istringstream stream(digits);
        std::uint32_t extracted = 0;
        stream >> std::hex >> extracted;
        EXPECT_EQ(hex_digits_to_u32(digits), extracted) << digits;
    }
}

TEST(Strtoul, ConvertsLikeTheCLibraryOnA32BitUnsignedLong) {
    EXPECT_EQ(strtoul_hex32("  01F0"), 0x1F0u);
    EXPECT_EQ(strtoul_hex32("\t0x1f0 rest"), 0x1F0u);
    EXPECT_EQ(strtoul_hex32("0X10"), 0x10u);
    EXPECT_EQ(strtoul_hex32("0xg"), 0u);  // "0" is the number, "x" stops it
    EXPECT_EQ(strtoul_hex32("+20"), 0x20u);
    EXPECT_EQ(strtoul_hex32("-1"), 0xFFFFFFFFu);
    EXPECT_EQ(strtoul_hex32("-10"), 0xFFFFFFF0u);
    EXPECT_EQ(strtoul_hex32("123456789"), 0xFFFFFFFFu);
    EXPECT_EQ(strtoul_hex32("-123456789"), 0xFFFFFFFFu);
    EXPECT_EQ(strtoul_hex32(""), 0u);
    EXPECT_EQ(strtoul_hex32("      "), 0u);
    EXPECT_EQ(strtoul_hex32("0400;"), 0x400u);
    EXPECT_EQ(strtoul_hex32("- 5"), 0u);
}

}  // namespace
}  // namespace tarvel
