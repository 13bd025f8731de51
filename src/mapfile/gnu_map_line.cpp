#include "mapfile/gnu_map_line.h"

#include <array>
#include <bit>

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
// read_hex_token of the next token from `pos` on: every line of the memory map begins with a
// name or a number, and there are millions of them.
[[gnu::always_inline]] inline bool read_hex_at(std::string_view text, std::size_t& pos,
                                               std::uint64_t& value) {
    pos = skip_blanks(text, pos);
    while (pos < text.size() && is_c_space(text[pos])) {
        ++pos;
    }
    if (text.size() - pos < 3 || text[pos] != '0' || (text[pos + 1] | 0x20) != 'x') {
        return false;
    }
    std::size_t at = pos + 2;
    std::size_t digits = 0;
    std::uint64_t result = 0;
    if (std::endian::native == std::endian::little && text.size() - at >= 16) {
        // Sixteen characters at once: ld on a 64-bit host prints every address with 16 digits,
        // of which a 32-bit target's first eight are zeros, and a size with fewer.
        const std::uint64_t high_word = eight_characters(text, at);
        constexpr std::uint64_t eight_zeros = 0x3030303030303030;
        const leading_hex first =
            high_word == eight_zeros ? leading_hex{8, 0} : leading_hex_digits(high_word);
        if (first.count < 8) {
            digits = first.count;
            result = first.value;
        } else {
            const leading_hex second = leading_hex_digits(eight_characters(text, at + 8));
            digits = 8 + second.count;
            result = (std::uint64_t{first.value} << (4 * second.count)) | second.value;
        }
        // A 17th digit is no blank, and fails below.
    } else {
        const std::size_t digits_begin = at;
        result = read_hex_run(text, at);
        digits = at - digits_begin;
        at = digits_begin;
        if (digits > 16) {
            return false;
        }
    }
    at += digits;
    if (digits == 0 || (at < text.size() && !is_c_space(text[at]))) {
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

namespace {
// The lines that ld on a 64-bit host indents by sixteen blanks, which are most of a map: the
// values of an input section named alone on the line before, a symbol, an assignment, a data
// statement. The address stands at a fixed place ("0x" and sixteen digits from column 17), so
// it is read from there; true when the line was classified so, false for any line of another
// shape, which classify_any then reads.
bool classify_fixed(std::string_view line, map_line& result) {
    constexpr std::uint64_t eight_blanks = 0x2020202020202020;
    constexpr std::uint64_t eight_zeros = 0x3030303030303030;
    constexpr std::size_t after_address = 34;
    if (std::endian::native != std::endian::little || line.size() <= after_address + 10 ||
        eight_characters(line, 0) != eight_blanks || eight_characters(line, 8) != eight_blanks ||
        line[16] != '0' || line[17] != 'x' || line[after_address] != ' ') {
        return false;
    }
    const std::uint64_t high_word = eight_characters(line, 18);
    const leading_hex high =
        high_word == eight_zeros ? leading_hex{8, 0} : leading_hex_digits(high_word);
    const leading_hex low = leading_hex_digits(eight_characters(line, 26));
    if (high.count != 8 || low.count != 8) {
        return false;
    }
    const std::size_t next = skip_blanks(line, after_address);
    if (next == line.size() || is_c_space(line[next])) {
        return false;
    }
    if (line[next] != '0') {
        return true;  // a symbol or an assignment: no second number
    }
    if (line.size() - next < 10 || line[next + 1] != 'x') {
        return false;
    }
    const leading_hex size = leading_hex_digits(eight_characters(line, next + 2));
    const std::size_t size_end = next + 2 + size.count;
    if (size.count == 0 || size.count == 8 ||
        (size_end < line.size() && !is_c_space(line[size_end]))) {
        return false;
    }
    result.kind = line_kind::values;
    result.has_values = true;
    result.values.address = (std::uint64_t{high.value} << 32) | low.value;
    result.values.size = size.value;
    result.values.rest = trimmed(line.substr(size_end));
    return true;
}
}  // namespace

map_line classify(std::string_view line) {
    map_line result;
    if (classify_fixed(line, result)) {
        return result;
    }
    return classify_any(line);
}

map_line classify_any(std::string_view line) {
    map_line result;
    if (line.empty()) {
        return result;
    }
    const std::size_t indent = skip_blanks(line, 0);
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
