// Conversions of hexadecimal text into unsigned 32-bit values, as the map formats need them.
#pragma once

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

// Reads `digits` whole as 1 to `max_digits` hexadecimal digits (at most 16, so the value fits):
// the fields of the map formats that print addresses and sizes with a fixed or bounded number
// of digits. False, and `value` untouched, for anything else.
constexpr bool read_hex_field(std::string_view digits, std::size_t max_digits,
                              std::uint64_t& value) {
    if (digits.empty() || digits.size() > max_digits || max_digits > 16) {
        return false;
    }
    std::uint64_t result = 0;
    for (const char c : digits) {
        if (!is_hex_digit(c)) {
            return false;
        }
        result = (result << 4) | hex_digit_value(c);
    }
    value = result;
    return true;
}

constexpr bool is_decimal_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace tarvel
