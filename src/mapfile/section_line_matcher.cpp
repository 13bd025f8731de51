#include "mapfile/section_line_matcher.h"

#include <bit>

#include "text/hex_number.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TARVEL_MATCHER_SSE2 1
#endif

namespace tarvel {

namespace {
constexpr std::string_view number_part = "[[:space:]]*([[:digit:]]+)[[:space:]]+";
constexpr std::string_view tail_part =
    "[[:space:]]+([[:xdigit:]]+)[[:space:]]+([[:xdigit:]]+)[[:space:]]+(.*)";

// The wildcard "." of an ECMAScript pattern matches every character but the line terminators.
bool is_line_terminator(char c) {
    return c == '\n' || c == '\r';
}

// Classifying sixteen characters at once: most lines of a large map are rejected within their
// first few characters, and a loop that stops after an unpredictable number of blanks or digits
// costs a mispredicted branch on nearly every line.
#ifdef TARVEL_MATCHER_SSE2
// Bit i set when character i is white space (blank, or \t to \r).
unsigned space_mask(const char* text) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const __m128i blank = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(' '));
    const __m128i control = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
    const __m128i in_range = _mm_cmpeq_epi8(_mm_min_epu8(control, _mm_set1_epi8(4)), control);
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(blank, in_range)));
}

// Bit i set when character i is a decimal digit.
unsigned digit_mask(const char* text) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const __m128i value = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(value, _mm_set1_epi8(9)), value)));
}
#endif

// The end of the run of characters from `pos` on for which `is_member` holds.
template <typename Scalar, typename Vector>
std::size_t skip_run(std::string_view line, std::size_t pos, Scalar is_member,
                     [[maybe_unused]] Vector members) {
#ifdef TARVEL_MATCHER_SSE2
    while (line.size() - pos >= 16) {
        const unsigned others = ~members(line.data() + pos) & 0xFFFFu;
        if (others != 0) {
            return pos + static_cast<std::size_t>(std::countr_zero(others));
        }
        pos += 16;
    }
#endif
    while (pos < line.size() && is_member(line[pos])) {
        ++pos;
    }
    return pos;
}

std::size_t skip_spaces(std::string_view line, std::size_t pos) {
#ifdef TARVEL_MATCHER_SSE2
    return skip_run(line, pos, is_c_space, space_mask);
#else
    return skip_run(line, pos, is_c_space, nullptr);
#endif
}

std::size_t skip_decimal_digits(std::string_view line, std::size_t pos) {
#ifdef TARVEL_MATCHER_SSE2
    return skip_run(line, pos, is_decimal_digit, digit_mask);
#else
    return skip_run(line, pos, is_decimal_digit, nullptr);
#endif
}

std::size_t skip_hex_digits(std::string_view line, std::size_t pos) {
    while (pos < line.size() && is_hex_digit(line[pos])) {
        ++pos;
    }
    return pos;
}

bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_decimal_digit(c) || c == '_' ||
           c == '.';
}

std::string name_list_pattern(const std::vector<std::string>& names) {
    std::string pattern(number_part);
    pattern += '(';
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            pattern += '|';
        }
        pattern += '.';
        pattern += names[i];
    }
    pattern += ')';
    pattern += tail_part;
    return pattern;
}
}  // namespace

bool c_section_line_matcher::match_number(std::string_view line, std::size_t& blanks_begin,
                                          std::size_t& blanks_end) {
    const std::size_t digits = skip_spaces(line, 0);
    const std::size_t pos = skip_decimal_digits(line, digits);
    if (pos == digits || pos == line.size() || !is_c_space(line[pos])) {
        return false;
    }
    blanks_begin = pos;
    blanks_end = skip_spaces(line, pos);
    return true;
}

bool c_section_line_matcher::match_tail(std::string_view line, std::size_t pos,
                                        section_line_fields& fields) {
    std::string_view* numbers[] = {&fields.size, &fields.address};
    for (std::string_view* number : numbers) {
        if (pos >= line.size() || !is_c_space(line[pos])) {
            return false;
        }
        pos = skip_spaces(line, pos);
        const std::size_t digits = pos;
        pos = skip_hex_digits(line, pos);
        if (pos == digits) {
            return false;
        }
        *number = line.substr(digits, pos - digits);
    }
    if (pos >= line.size() || !is_c_space(line[pos])) {
        return false;
    }
    // The rest of the line is free text, which the wildcard can only take when it holds no
    // line-end character (white space before it is taken by the blanks).
    pos = skip_spaces(line, pos);
    for (; pos < line.size(); ++pos) {
        if (is_line_terminator(line[pos])) {
            return false;
        }
    }
    return true;
}

c_section_name_list_matcher::c_section_name_list_matcher(const std::vector<std::string>& names)
    : c_section_line_matcher(name_list_pattern(names)), names_(names) {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i].empty()) {
            for (auto& bucket : by_first_char_) {
                bucket.push_back(i);
            }
        } else {
            by_first_char_[static_cast<unsigned char>(names_[i].front())].push_back(i);
        }
    }
}

bool c_section_name_list_matcher::match(std::string_view line, section_line_fields& fields) const {
    std::size_t blanks_begin = 0;
    std::size_t blanks_end = 0;
    if (!match_number(line, blanks_begin, blanks_end)) {
        return false;
    }
    // The blanks before the name are taken greedily; when no name fits after them, one blank
    // less is taken and the wildcard that leads the name token takes the last blank instead.
    for (std::size_t wildcard = blanks_end; wildcard > blanks_begin; --wildcard) {
        if (wildcard >= line.size() || is_line_terminator(line[wildcard])) {
            continue;
        }
        const std::size_t name_begin = wildcard + 1;
        // Past the end of the line only an empty name could fit; those are in every bucket.
        const auto first =
            name_begin < line.size() ? static_cast<unsigned char>(line[name_begin]) : 0;
        for (const std::size_t i : by_first_char_[first]) {
            const std::string& name = names_[i];
            if (line.substr(name_begin, name.size()) == name &&
                match_tail(line, name_begin + name.size(), fields)) {
                fields.name = line.substr(wildcard, 1 + name.size());
                return true;
            }
        }
    }
    return false;
}

c_section_any_name_matcher::c_section_any_name_matcher()
    : c_section_line_matcher(std::string(number_part) +
                             "\\[{0,1}\\.{0,1}([a-zA-Z0-9_\\.]+)\\]{0,1}" +
                             std::string(tail_part)) {}

bool c_section_any_name_matcher::match(std::string_view line, section_line_fields& fields) const {
    std::size_t blanks_begin = 0;
    std::size_t pos = 0;
    if (!match_number(line, blanks_begin, pos)) {
        return false;
    }
    if (pos < line.size() && line[pos] == '[') {
        ++pos;
    }
    const std::size_t run_begin = pos;
    while (pos < line.size() && is_name_char(line[pos])) {
        ++pos;
    }
    std::size_t name_begin = run_begin;
    // One leading dot is left out of the name, unless the dot is the whole name.
    if (pos - run_begin >= 2 && line[run_begin] == '.') {
        ++name_begin;
    }
    if (pos == name_begin) {
        return false;
    }
    const std::size_t name_end = pos;
    if (pos < line.size() && line[pos] == ']') {
        ++pos;
    }
    if (!match_tail(line, pos, fields)) {
        return false;
    }
    fields.name = line.substr(name_begin, name_end - name_begin);
    return true;
}

}  // namespace tarvel
