// White-space separated tokens of a line, for the map formats whose columns are aligned with
// blanks.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvel {

// The next token from `pos` on (white space skipped), empty at the end; `pos` moves past it.
std::string_view next_token(std::string_view text, std::size_t& pos);

// Leading and trailing white space removed.
std::string_view trimmed(std::string_view text);

}  // namespace tarvel
