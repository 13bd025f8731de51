#include "text/hex_number.h"

#include <array>
#include <cstddef>

namespace tarvel {

namespace {
// The value of each character as a hexadecimal digit, or no_digit. A table lookup instead of
// range tests: map files hold millions of numbers, whose digits mix letters and decimals
// unpredictably for a branch.
constexpr std::uint8_t no_digit = 0xFF;
constexpr auto digit_values = [] {
    std::array<std::uint8_t, 256> values{};
    for (auto& value : values) {
        value = no_digit;
    }
    for (int c = 0; c < 256; ++c) {
        if (is_hex_digit(static_cast<char>(c))) {
            values[static_cast<std::size_t>(c)] =
                static_cast<std::uint8_t>(hex_digit_value(static_cast<char>(c)));
        }
    }
    return values;
}();

// Accumulates the leading hexadecimal digits of `text`; `overflow` tells whether they need more
// than 32 bits. Returns how many digits were taken.
std::size_t accumulate(std::string_view text, std::uint64_t& value, bool& overflow) {
    value = 0;
    std::size_t taken = 0;
    for (; taken < text.size(); ++taken) {
        const std::uint8_t digit = digit_values[static_cast<unsigned char>(text[taken])];
        if (digit == no_digit) {
            break;
        }
        // Past 32 bits the value stays where it was; only the digits are still counted.
        if (value <= 0xFFFFFFFFull) {
            value = (value << 4) | digit;
        }
    }
    overflow = value > 0xFFFFFFFFull;
    return taken;
}
}  // namespace

std::uint32_t hex_digits_to_u32(std::string_view digits) {
    std::uint64_t value = 0;
    bool overflow = false;
    accumulate(digits, value, overflow);
    return overflow ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

std::uint32_t strtoul_hex32(std::string_view text) {
    // Nearly every field of a map is nothing but up to eight digits: then there is no blank,
    // sign or prefix to skip and no overflow, and the value is the digits'.
    if (!text.empty() && text.size() <= 8) {
        std::uint32_t value = 0;
        std::size_t taken = 0;
        for (; taken < text.size(); ++taken) {
            const std::uint8_t digit = digit_values[static_cast<unsigned char>(text[taken])];
            if (digit == no_digit) {
                break;
            }
            value = (value << 4) | digit;
        }
        if (taken == text.size()) {
            return value;
        }
    }
    std::size_t pos = 0;
    while (pos < text.size() && is_c_space(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // "0x" counts as a prefix only when a hexadecimal digit follows it; otherwise the 0 alone
    // is the number.
    if (pos + 2 < text.size() && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X') && is_hex_digit(text[pos + 2])) {
        pos += 2;
    }
    std::uint64_t value = 0;
    bool overflow = false;
    accumulate(text.substr(pos), value, overflow);
    if (overflow) {
        return 0xFFFFFFFFu;
    }
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

}  // namespace tarvel
