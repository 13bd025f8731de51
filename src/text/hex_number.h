// Conversions of hexadecimal text into unsigned 32-bit values, as the map formats need them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvel {

// Reads a run of hexadecimal digits (either case). A value that needs more than 32 bits
// (more than eight significant digits) saturates at 0xFFFFFFFF. An empty run gives 0.
std::uint32_t hex_digits_to_u32(std::string_view digits);

// Converts like the C library's strtoul(text, nullptr, 16) with a 32-bit unsigned long:
// leading white space skipped, an optional sign (a minus negates modulo 2^32), an optional
// "0x"/"0X", then hexadecimal digits up to the first other character. 0 when no digit stands
// there; 0xFFFFFFFF when the digits stand for more than 32 bits.
std::uint32_t strtoul_hex32(std::string_view text);

// True for the white-space characters of the C locale: blank, \t, \n, \v, \f and \r.
constexpr bool is_c_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr bool is_hex_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a hexadecimal digit (either case); only for characters is_hex_digit accepts.
constexpr unsigned hex_digit_value(char c) {
    return c <= '9' ? static_cast<unsigned>(c - '0') : static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

// The value of each character as a hexadecimal digit, 16 for any other: one load per digit.
inline constexpr auto hex_digit_values = [] {
    struct table {
        std::uint8_t values[256];
    } t{};
    for (unsigned c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        t.values[c] = is_hex_digit(ch) ? static_cast<std::uint8_t>(hex_digit_value(ch)) : 16;
    }
    return t;
}();

// Reads the hexadecimal digits of `text` from `pos` on, up to the first other character or the
// end, and moves `pos` past them. The value of the last 16 where there are more: callers bound
// the count (the distance `pos` moved) before they trust it.
constexpr std::uint64_t read_hex_run(std::string_view text, std::size_t& pos) {
    std::uint64_t result = 0;
    while (pos < text.size()) {
        const unsigned digit = hex_digit_values.values[static_cast<unsigned char>(text[pos])];
        if (digit > 15) {
            break;
        }
        result = (result << 4) | digit;
        ++pos;
    }
    return result;
}

// Reads `digits` whole as 1 to `max_digits` hexadecimal digits (at most 16, so the value fits):
// the fields of the map formats that print addresses and sizes with a fixed or bounded number
// of digits. False, and `value` untouched, for anything else.
constexpr bool read_hex_field(std::string_view digits, std::size_t max_digits,
                              std::uint64_t& value) {
    if (digits.empty() || digits.size() > max_digits || max_digits > 16) {
        return false;
    }
    std::size_t pos = 0;
    const std::uint64_t result = read_hex_run(digits, pos);
    if (pos != digits.size()) {
        return false;
    }
    value = result;
    return true;
}

// The hexadecimal digits (either case) at the start of eight characters held in `word`, the
// first in its lowest byte (as a little-endian load puts them): how many come before the first
// other character (0 to 8), and their value. A few operations for all eight, where a loop
// spends a load and a branch on each digit: the map readers meet millions of numbers.
struct leading_hex {
    unsigned count = 0;
    std::uint32_t value = 0;
};

constexpr leading_hex leading_hex_digits(std::uint64_t word) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t high_bits = ones * 0x80;
    // For bytes below 0x80 the sums stay within their byte and the high bit tells the
    // comparison; a byte with its own high bit set is no digit whatever the sums say.
    const auto at_least = [](std::uint64_t x, std::uint64_t low) {
        return (x + ones * (0x80 - low)) & high_bits;
    };
    const auto above = [](std::uint64_t x, std::uint64_t high) {
        return (x + ones * (0x7f - high)) & high_bits;
    };
    const std::uint64_t lower_case = word | (ones * 0x20);
    const std::uint64_t digits = at_least(word, '0') & ~above(word, '9');
    const std::uint64_t letters = at_least(lower_case, 'a') & ~above(lower_case, 'f');
    const std::uint64_t others = ~(digits | letters) & high_bits;
    // A carry out of a byte that is no digit can disturb only the bytes after it.
    const unsigned count = others == 0 ? 8u : static_cast<unsigned>(std::countr_zero(others) / 8);
    if (count == 0) {
        return {};
    }
    // Each byte's value: the low four bits, and 9 more for a letter (bit 6 set); the digits are
    // moved to the top bytes, so that zeros lead.
    std::uint64_t v = (word & (ones * 0x0f)) + 9 * ((word >> 6) & ones);
    v <<= 8 * (8 - count);
    // Pairs of digits, then pairs of pairs, then the two halves, the first digit highest.
    v = ((v << 4) | (v >> 8)) & 0x00ff00ff00ff00ff;
    v = ((v << 8) | (v >> 16)) & 0x0000ffff0000ffff;
    v = ((v << 16) | (v >> 32)) & 0xffffffff;
    return {count, static_cast<std::uint32_t>(v)};
}

// Eight hexadecimal digits in `word` (see leading_hex_digits): their value, or false.
constexpr bool eight_hex_digits(std::uint64_t word, std::uint32_t& value) {
    const leading_hex read = leading_hex_digits(word);
    if (read.count != 8) {
        return false;
    }
    value = read.value;
    return true;
}

constexpr bool is_decimal_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace tarvel
