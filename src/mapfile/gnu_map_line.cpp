#include "mapfile/gnu_map_line.h"

#include <array>

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

bool read_address_size(std::string_view text, address_size& values) {
    std::size_t pos = 0;
    address_size read;
    if (!read_hex_token(next_token(text, pos), read.address) ||
        !read_hex_token(next_token(text, pos), read.size)) {
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
    std::size_t indent = 0;
    while (indent < line.size() && line[indent] == ' ') {
        ++indent;
    }
    if (indent == line.size() || is_c_space(line[indent])) {
        return result;
    }
    if (indent >= 2) {
        // Indented values without a name; a symbol or an assignment has no second number.
        if (read_address_size(line, result.values)) {
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
