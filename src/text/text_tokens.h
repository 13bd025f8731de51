// White-space separated tokens of a line, for the map formats whose columns are aligned with
// blanks. Inline: the readers call them for every line of maps of millions of lines.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/hex_number.h"

namespace tarvel {

// The next token from `pos` on (white space skipped), empty at the end; `pos` moves past it.
inline std::string_view next_token(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && is_c_space(text[pos])) {
        ++pos;
    }
    const std::size_t begin = pos;
    while (pos < text.size() && !is_c_space(text[pos])) {
        ++pos;
    }
    return text.substr(begin, pos - begin);
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
