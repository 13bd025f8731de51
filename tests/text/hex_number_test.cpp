#include "text/hex_number.h"

#include <gtest/gtest.h>

#include <string>

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

// A field is the whole token: every character a digit, at least one, at most the format's
// width; the value is only written when the field is one.
TEST(HexField, ReadsWholeFieldsOfBoundedWidth) {
    std::uint64_t value = 7;
    EXPECT_TRUE(read_hex_field("fFfFfFfFfFfFfFfF", 16, value));
    EXPECT_EQ(value, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_TRUE(read_hex_field("0000000000000000", 16, value));
    EXPECT_EQ(value, 0u);
    for (const char* bad : {"", "12345678g", " 1", "1 ", "0x10", "-1"}) {
        value = 7;
        EXPECT_FALSE(read_hex_field(bad, 16, value)) << bad;
        EXPECT_EQ(value, 7u) << bad;
    }
    EXPECT_TRUE(read_hex_field("12345678", 8, value));
    EXPECT_EQ(value, 0x12345678u);
    EXPECT_FALSE(read_hex_field("123456789", 8, value));
    EXPECT_FALSE(read_hex_field("1", 17, value));  // a width whose values do not fit
}

// The eight-at-once reading must agree with reading one character at a time, whatever the
// bytes: digits of either case, the characters next to them in ASCII, bytes with the high bit
// set (whose sums carry into the next byte) and the bytes after the first that is no digit.
TEST(LeadingHexDigits, AgreesWithReadingOneCharacterAtATime) {
    const std::string alphabet =
        std::string("0123456789abcdefABCDEF/:@G`g x\t\0") + "\x80\xff\xb0\xe6";
    std::uint32_t seed = 99;
    for (int round = 0; round < 200000; ++round) {
        char bytes[8];
        for (char& c : bytes) {
            seed = seed * 1664525u + 1013904223u;
            // Mostly digits, so that long runs of them are common.
            const std::size_t pick = (seed >> 8) % (alphabet.size() * 3);
            c = pick < alphabet.size() ? alphabet[pick] : "0123456789abcdef"[pick % 16];
        }
        unsigned count = 0;
        std::uint32_t value = 0;
        while (count < 8 && is_hex_digit(bytes[count])) {
            value = (value << 4) | hex_digit_value(bytes[count]);
            ++count;
        }
        std::uint64_t word = 0;
        for (int i = 7; i >= 0; --i) {
            word = (word << 8) | static_cast<unsigned char>(bytes[i]);  // the first char lowest
        }
        const leading_hex read = leading_hex_digits(word);
        ASSERT_EQ(read.count, count) << std::string(bytes, 8);
        ASSERT_EQ(read.value, value) << std::string(bytes, 8);
        std::uint32_t eight = 0;
        ASSERT_EQ(eight_hex_digits(word, eight), count == 8);
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
