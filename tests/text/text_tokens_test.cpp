#include "text/text_tokens.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tarvel {
namespace {

TEST(NextToken, AgreesWithReadingOneCharacterAtATime) {
    // Tokens of every length around the eight characters read at once, separated by every kind
    // of white space, with control characters and bytes above 0x7f inside them (no white space).
    const std::string alphabet = std::string("ab.Z_(0 \t\r\v\f\n\x01\x1f!") + "\x80\xa0\xff";
    std::uint32_t seed = 7;
    for (int round = 0; round < 100000; ++round) {
        seed = seed * 1664525u + 1013904223u;
        std::string text((seed >> 10) % 40, ' ');
        for (char& c : text) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t pick = (seed >> 8) % (alphabet.size() * 2);
            c = pick < alphabet.size() ? alphabet[pick] : 'q';  // mostly token characters
        }
        std::size_t expected_pos = (seed >> 4) % (text.size() + 1);
        std::size_t pos = expected_pos;
        while (expected_pos < text.size() && is_c_space(text[expected_pos])) {
            ++expected_pos;
        }
        const std::size_t begin = expected_pos;
        while (expected_pos < text.size() && !is_c_space(text[expected_pos])) {
            ++expected_pos;
        }
        const std::string_view token = next_token(text, pos);
        ASSERT_EQ(pos, expected_pos) << text;
        ASSERT_EQ(token, std::string_view(text).substr(begin, expected_pos - begin)) << text;
    }
}

}  // namespace
}  // namespace tarvel
