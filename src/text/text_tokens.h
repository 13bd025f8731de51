// White-space separated tokens of a line, for the map formats whose columns are aligned with
// blanks. Inline: the readers call them for every line of maps of millions of lines.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "text/hex_number.h"

namespace tarvel {

// The eight characters from `pos` on (there must be eight), the first in the lowest byte on a
// little-endian machine: for the scans that look at eight characters at once.
inline std::uint64_t eight_characters(std::string_view text, std::size_t pos) {
    std::uint64_t chunk = 0;
    std::memcpy(&chunk, text.data() + pos, 8);
    return chunk;
}

// The position of the first white-space character from `pos` (at most the size) on, or the end.
// Eight characters at a time: names of sections and files run to dozens of characters.
inline std::size_t token_end(std::string_view text, std::size_t pos) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101;
        while (text.size() - pos >= 8) {
            const std::uint64_t chunk = eight_characters(text, pos);
            // The high bit of the first byte below 0x21 (white space is), not of one at or above
            // 0x80; a borrow can mark only bytes after the first marked one.
            const std::uint64_t low = (chunk - ones * 0x21) & ~chunk & (ones * 0x80);
            if (low == 0) {
                pos += 8;
                continue;
            }
            pos += static_cast<std::size_t>(std::countr_zero(low) / 8);
            if (is_c_space(text[pos])) {
                return pos;
            }
            ++pos;  // a control character inside the token
        }
    }
    while (pos < text.size() && !is_c_space(text[pos])) {
        ++pos;
    }
    return pos;
}

// The next token from `pos` on (white space skipped), empty at the end; `pos` moves past it.
inline std::string_view next_token(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && is_c_space(text[pos])) {
        ++pos;
    }
    const std::size_t begin = pos;
    pos = token_end(text, pos);
    return text.substr(begin, pos - begin);
}

// The position of the first character from `pos` (at most the size) on that is no blank (' '),
// or the end. Eight characters at a time: map formats align their columns with long runs of
// blanks, and a reader meets them on every line.
inline std::size_t skip_blanks(std::string_view text, std::size_t pos) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t eight_blanks = 0x2020202020202020;
        while (text.size() - pos >= 8) {
            const std::uint64_t others = eight_characters(text, pos) ^ eight_blanks;
            if (others != 0) {
                // The lowest byte that is no blank is the first character in the text.
                return pos + static_cast<std::size_t>(std::countr_zero(others) / 8);
            }
            pos += 8;
        }
    }
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    return pos;
}

// Leading and trailing white space removed.
inline std::string_view trimmed(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && is_c_space(text[begin])) {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > begin && is_c_space(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

}  // namespace tarvel
