#include "text/hex_number.h"

#include <cstddef>

namespace tarvel {

namespace {
unsigned hex_value(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    return static_cast<unsigned>(c - 'A' + 10);
}

// Accumulates the leading hexadecimal digits of `text`; `overflow` tells whether they need more
// than 32 bits. Returns how many digits were taken.
std::size_t accumulate(std::string_view text, std::uint64_t& value, bool& overflow) {
    value = 0;
    overflow = false;
    std::size_t taken = 0;
    while (taken < text.size() && is_hex_digit(text[taken])) {
        if (!overflow) {
            value = (value << 4) | hex_value(text[taken]);
            overflow = value > 0xFFFFFFFFull;
        }
        ++taken;
    }
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
    if (pos + 2 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        is_hex_digit(text[pos + 2])) {
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
