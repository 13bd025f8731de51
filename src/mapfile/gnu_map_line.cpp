#include "mapfile/gnu_map_line.h"

#include <array>
#include <bit>
#include <cstring>

#include "text/hex_number.h"
#include "text/text_tokens.h"

namespace tarvel::gnu {

namespace {
struct heading_text {
    std::string_view text;
    heading kind;
};

constexpr std::array<heading_text, 8> headings{{
    {"Archive member included to satisfy reference by file (symbol)", heading::archive_members},
    {"As-needed library included to satisfy reference by file (symbol)", heading::other_preamble},
    {"Allocating common symbols", heading::common_symbols},
    {"Discarded input sections", heading::discarded},
    {"Memory Configuration", heading::memory_configuration},
    {"Linker script and memory map", heading::memory_map},
    {"Cross Reference Table", heading::cross_reference},
    {"Removed property changes", heading::other_preamble},
}};

// A name that stands alone where ld breaks a long section name: no input section statement
// ("*(.text*)", "KEEP(...)", "libc.a:*(.x)"), which holds brackets or begins with "*".
bool may_be_section_name(std::string_view token) {
    return !token.empty() && token.front() != '*' && token.find('(') == std::string_view::npos;
}
}  // namespace

heading heading_of(std::string_view line) {
    if (line.empty() || is_c_space(line.front())) {
        return heading::none;
    }
    const std::string_view text = trimmed(line);
    for (const heading_text& known : headings) {
        if (text == known.text) {
            return known.kind;
        }
    }
    return heading::none;
}

bool read_hex_token(std::string_view token, std::uint64_t& value) {
    if (token.size() < 3 || token[0] != '0' || (token[1] != 'x' && token[1] != 'X')) {
        return false;
    }
    return read_hex_field(token.substr(2), 16, value);
}

namespace {
// The value of each hexadecimal digit, 16 for any other character: one load per digit.
constexpr std::array<std::uint8_t, 256> hex_values = [] {
    std::array<std::uint8_t, 256> values{};
    for (unsigned c = 0; c < 256; ++c) {
        values[c] = is_hex_digit(static_cast<char>(c))
                        ? static_cast<std::uint8_t>(hex_digit_value(static_cast<char>(c)))
                        : 16;
    }
    return values;
}();

// ld aligns its columns with runs of blanks (values lines are indented by 16): the position
// after the blanks from `pos` on, taken eight at a time, up to the last eight.
std::size_t skip_blank_octets(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t eight_blanks = 0x2020202020202020;
    while (text.size() - pos >= 8) {
        std::uint64_t chunk = 0;
        std::memcpy(&chunk, text.data() + pos, 8);
        if (chunk != eight_blanks) {
            break;
        }
        pos += 8;
    }
    return pos;
}

// Eight hexadecimal digits (either case) in a 64-bit word, the first digit in its lowest byte:
// their value, or false where a byte is no hexadecimal digit. ld on a 64-bit host prints every
// address with 16 digits; taken eight at a time, they cost a few operations instead of a
// load and a branch each.
[[gnu::always_inline]] inline bool eight_hex_digits(std::uint64_t word, std::uint32_t& value) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t high_bits = ones * 0x80;
    // For bytes below 0x80 (a byte with its high bit set fails below), the sums stay within
    // their byte: the high bit tells the comparison.
    const auto at_least = [](std::uint64_t x, std::uint64_t low) {
        return (x + ones * (0x80 - low)) & high_bits;
    };
    const auto above = [](std::uint64_t x, std::uint64_t high) {
        return (x + ones * (0x7f - high)) & high_bits;
    };
    const std::uint64_t lower_case = word | (ones * 0x20);
    const std::uint64_t digits = at_least(word, '0') & ~above(word, '9');
    const std::uint64_t letters = at_least(lower_case, 'a') & ~above(lower_case, 'f');
    if (((digits | letters) & ~word & high_bits) != high_bits) {
        return false;
    }
    // Each byte's value: the low four bits, and 9 more for a letter (bit 6 set).
    std::uint64_t v = (word & (ones * 0x0f)) + 9 * ((word >> 6) & ones);
    // Pairs of digits, then pairs of pairs, then the two halves, the first digit highest.
    v = ((v << 4) | (v >> 8)) & 0x00ff00ff00ff00ff;
    v = ((v << 8) | (v >> 16)) & 0x0000ffff0000ffff;
    v = ((v << 16) | (v >> 32)) & 0xffffffff;
    value = static_cast<std::uint32_t>(v);
    return true;
}

// read_hex_token of the next token from `pos` on, in one pass over its characters: every line
// of the memory map begins with a name or a number, and there are millions of them.
bool read_hex_at(std::string_view text, std::size_t& pos, std::uint64_t& value) {
    pos = skip_blank_octets(text, pos);
    while (pos < text.size() && is_c_space(text[pos])) {
        ++pos;
    }
    if (text.size() - pos < 3 || text[pos] != '0' || (text[pos + 1] | 0x20) != 'x') {
        return false;
    }
    std::size_t at = pos + 2;
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t words[2];
        std::uint32_t high = 0;
        std::uint32_t low = 0;
        if (text.size() - at >= sizeof words &&
            (std::memcpy(words, text.data() + at, sizeof words), true) &&
            eight_hex_digits(words[0], high) && eight_hex_digits(words[1], low)) {
            at += 16;
            if (at < text.size() && !is_c_space(text[at])) {
                return false;  // a 17th digit, or a token that goes on otherwise
            }
            value = (std::uint64_t{high} << 32) | low;
            pos = at;
            return true;
        }
    }
    const std::size_t digits_begin = at;
    std::uint64_t result = 0;
    while (at < text.size()) {
        const unsigned digit = hex_values[static_cast<unsigned char>(text[at])];
        if (digit > 15) {
            break;
        }
        result = (result << 4) | digit;
        ++at;
    }
    const std::size_t digits = at - digits_begin;
    if (digits == 0 || digits > 16 || (at < text.size() && !is_c_space(text[at]))) {
        return false;
    }
    value = result;
    pos = at;
    return true;
}
}  // namespace

bool read_address_size(std::string_view text, address_size& values) {
    std::size_t pos = 0;
    address_size read;
    if (!read_hex_at(text, pos, read.address) || !read_hex_at(text, pos, read.size)) {
        return false;
    }
    read.rest = trimmed(text.substr(pos));
    values = read;
    return true;
}

bool read_load_address(std::string_view rest, std::uint64_t& address) {
    std::size_t pos = 0;
    if (next_token(rest, pos) != "load" || next_token(rest, pos) != "address") {
        return false;
    }
    return read_hex_token(next_token(rest, pos), address);
}

map_line classify(std::string_view line) {
    map_line result;
    if (line.empty()) {
        return result;
    }
    std::size_t indent = skip_blank_octets(line, 0);
    while (indent < line.size() && line[indent] == ' ') {
        ++indent;
    }
    if (indent == line.size() || is_c_space(line[indent])) {
        return result;
    }
    if (indent >= 2) {
        // Indented values without a name; a symbol or an assignment has no second number.
        if (read_address_size(line.substr(indent), result.values)) {
            result.kind = line_kind::values;
            result.has_values = true;
        }
        return result;
    }
    std::size_t pos = indent;
    const std::string_view name = next_token(line, pos);
    const std::string_view rest = line.substr(pos);
    if (trimmed(rest).empty()) {
        if (may_be_section_name(name)) {
            result.kind = indent == 0 ? line_kind::output_section : line_kind::input_section;
            result.name = name;
        }
        return result;
    }
    if (!read_address_size(rest, result.values)) {
        return result;  // "LOAD file", "START GROUP", "OUTPUT(...)", a pattern, "FILL mask"...
    }
    result.kind = indent == 0 ? line_kind::output_section : line_kind::input_section;
    result.name = name;
    result.has_values = true;
    return result;
}

}  // namespace tarvel::gnu
