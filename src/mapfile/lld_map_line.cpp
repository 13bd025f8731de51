#include "mapfile/lld_map_line.h"

#include <array>
#include <bit>

#include "text/hex_number.h"
#include "text/text_tokens.h"

namespace tarvel::lld {

namespace {
// Whether the words of `line`, separated by any white space, are `words`.
template <std::size_t count>
bool has_words(std::string_view line, const std::array<std::string_view, count>& words) {
    std::size_t pos = 0;
    for (const std::string_view word : words) {
        if (next_token(line, pos) != word) {
            return false;
        }
    }
    return next_token(line, pos).empty();
}

// The value of each character as a digit (0 to 15 for the hexadecimal digits), `blank` for the
// white space between columns, `other` for the rest.
constexpr std::uint8_t blank = 16;
constexpr std::uint8_t other = 17;
constexpr std::array<std::uint8_t, 256> column_chars = [] {
    std::array<std::uint8_t, 256> values{};
    for (std::size_t c = 0; c < values.size(); ++c) {
        const char ch = static_cast<char>(c);
        values[c] = is_c_space(ch)      ? blank
                    : !is_hex_digit(ch) ? other
                                        : static_cast<std::uint8_t>(hex_digit_value(ch));
    }
    return values;
}();

std::uint8_t column_char(char c) {
    return column_chars[static_cast<unsigned char>(c)];
}

// Reads the column that follows `pos` (after white space) as a number of `base`, and moves
// `pos` past it. False when the column is empty, holds another character than a digit of the
// base, or more than 16 digits. Every line of the table starts with these columns, so they
// are read in one pass over their characters rather than as tokens checked afterwards.
bool read_number(std::string_view line, std::size_t& pos, std::uint64_t base,
                 std::uint64_t& value) {
    const std::size_t end = line.size();
    pos = skip_blanks(line, pos);
    while (pos < end && column_char(line[pos]) == blank) {
        ++pos;
    }
    const std::size_t begin = pos;
    value = 0;
    for (; pos < end; ++pos) {
        const std::uint8_t digit = column_char(line[pos]);
        if (digit >= base) {
            if (digit != blank) {
                return false;
            }
            break;
        }
        value = value * base + digit;
    }
    return pos > begin && pos - begin <= 16;
}

// A column of `width` characters (at most eight) from `at`: blanks, then at least one digit of
// `base` up to its end. lld prints a 32-bit target's rows so ("%8llx %8llx %8llx %5llu "), and
// the digits are then read from their places, eight characters at once.
bool read_fixed_column(std::string_view line, std::size_t at, std::size_t width, std::uint64_t base,
                       std::uint64_t& value) {
    constexpr std::uint64_t eight_blanks = 0x2020202020202020;
    // The column's characters moved to the top of the word, blanks put before them.
    std::uint64_t word = eight_characters(line, at);
    if (width < 8) {
        word = (word << (8 * (8 - width))) | (eight_blanks >> (8 * width));
    }
    const std::uint64_t others = word ^ eight_blanks;
    if (others == 0) {
        return false;
    }
    const auto blanks = static_cast<unsigned>(std::countr_zero(others) / 8);
    const std::size_t digits = 8 - blanks;
    if (base == 16) {
        const leading_hex read = leading_hex_digits(word >> (8 * blanks));
        if (read.count != digits) {
            return false;
        }
        value = read.value;
        return true;
    }
    value = 0;
    for (std::size_t i = at + width - digits; i < at + width; ++i) {
        if (!is_decimal_digit(line[i])) {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(line[i] - '0');
    }
    return true;
}

// The numbers of a row in the fixed columns of a 32-bit target, and where the text begins;
// false where the row has another shape (wider numbers, tabs), which read_number then reads.
bool read_fixed_columns(std::string_view line, map_line& parsed, std::size_t& text) {
    constexpr std::size_t text_column = 33;
    std::uint64_t align = 0;
    if (line.size() <= text_column || line[8] != ' ' || line[17] != ' ' || line[26] != ' ' ||
        line[32] != ' ') {
        return false;
    }
    if (!read_fixed_column(line, 0, 8, 16, parsed.address) ||
        !read_fixed_column(line, 9, 8, 16, parsed.load_address) ||
        !read_fixed_column(line, 18, 8, 16, parsed.size) ||
        !read_fixed_column(line, 27, 5, 10, align)) {
        return false;
    }
    text = text_column;
    return true;
}

// The position of the last ":(" in `text`, or npos: a plain scan back from the end, where the
// section name is, over a few dozen characters.
std::size_t last_section_opening(std::string_view text) {
    for (std::size_t i = text.size(); i >= 2; --i) {
        if (text[i - 1] == '(' && text[i - 2] == ':') {
            return i - 2;
        }
    }
    return std::string_view::npos;
}

// The name of an output section stands alone; a script command at that level has blanks,
// "=" or brackets in it ("_estack = .", "PROVIDE(end = .)", "ASSERT(...)").
bool is_section_name(std::string_view text) {
    return !text.empty() && text.find_first_of(" \t=(") == std::string_view::npos;
}
}  // namespace

columns heading_of(std::string_view line) {
    if (has_words(line, std::array<std::string_view, 7>{"VMA", "LMA", "Size", "Align", "Out", "In",
                                                        "Symbol"})) {
        return columns::vma_lma;
    }
    if (has_words(line, std::array<std::string_view, 6>{"Address", "Size", "Align", "Out", "In",
                                                        "Symbol"})) {
        return columns::address_only;
    }
    return columns::none;
}

bool is_blank(std::string_view line) {
    for (const char c : line) {
        if (column_char(c) != blank) {
            return false;
        }
    }
    return true;
}

bool is_cross_reference_heading(std::string_view line) {
    return has_words(line, std::array<std::string_view, 2>{"Symbol", "File"});
}

namespace {
// The numbers of a row, and where its text begins.
bool read_columns(std::string_view line, columns layout, map_line& parsed, std::size_t& text) {
    if (std::endian::native == std::endian::little && layout == columns::vma_lma &&
        read_fixed_columns(line, parsed, text)) {
        return true;
    }
    std::size_t pos = 0;
    std::uint64_t align = 0;
    if (!read_number(line, pos, 16, parsed.address)) {
        return false;
    }
    parsed.load_address = parsed.address;
    if (layout == columns::vma_lma && !read_number(line, pos, 16, parsed.load_address)) {
        return false;
    }
    if (!read_number(line, pos, 16, parsed.size) || !read_number(line, pos, 10, align)) {
        return false;
    }
    // One blank follows the alignment; the indentation of the text after it tells its level.
    if (pos >= line.size() || line[pos] != ' ') {
        return false;
    }
    text = pos + 1;
    return true;
}
}  // namespace

bool read_line(std::string_view line, columns layout, map_line& parsed) {
    parsed = {};
    std::size_t text_begins = 0;
    if (!read_columns(line, layout, parsed, text_begins)) {
        return false;
    }
    const std::string_view text = line.substr(text_begins);
    const std::size_t indent = skip_blanks(text, 0);
    if (indent == text.size()) {
        return false;
    }
    const std::string_view rest = trimmed(text.substr(indent));
    if (indent < 8) {
        parsed.kind = is_section_name(rest) ? line_kind::output_section : line_kind::other;
        parsed.name = rest;
        return true;
    }
    // "file:(section)": the file may itself hold ":" and brackets (a Windows path, an archive
    // member), so the section is what the last ":(" opens.
    if (indent < 16 && rest.back() == ')') {
        const std::size_t open = last_section_opening(rest);
        if (open != std::string_view::npos) {
            parsed.kind = line_kind::input_section;
            parsed.file = rest.substr(0, open);
            parsed.name = rest.substr(open + 2, rest.size() - open - 3);
            return true;
        }
    }
    parsed.kind = line_kind::other;
    parsed.name = rest;
    return true;
}

}  // namespace tarvel::lld
