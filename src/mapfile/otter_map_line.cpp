#include "mapfile/otter_map_line.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "text/hex_number.h"
#include "text/text_tokens.h"

namespace tarvel::otter {

namespace {
// 1 to 8 hexadecimal digits, the whole token.
bool read_hex8(std::string_view token, std::uint32_t& value) {
    std::uint64_t read = 0;
    if (!read_hex_field(token, 8, read)) {
        return false;
    }
    value = static_cast<std::uint32_t>(read);
    return true;
}

bool is_decimal(std::string_view token) {
    if (token.empty()) {
        return false;
    }
    for (const char c : token) {
        if (!is_decimal_digit(c)) {
            return false;
        }
    }
    return true;
}

// "origin+size", both hexadecimal.
bool read_origin_size(std::string_view token, std::uint32_t& origin, std::uint32_t& size) {
    const std::size_t plus = token.find('+');
    return plus != std::string_view::npos && read_hex8(token.substr(0, plus), origin) &&
           read_hex8(token.substr(plus + 1), size);
}

std::vector<std::string_view> tokens(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t pos = 0;
    for (std::string_view token = next_token(line, pos); !token.empty();
         token = next_token(line, pos)) {
        result.push_back(token);
    }
    return result;
}

bool tokens_are(std::string_view line, std::initializer_list<std::string_view> expected) {
    const std::vector<std::string_view> found = tokens(line);
    return found.size() == expected.size() &&
           std::equal(found.begin(), found.end(), expected.begin());
}
}  // namespace

table table_of_heading(std::string_view line) {
    if (tokens_are(line, {"Section", "Base", "Size(hex)", "Size(dec)", "SecOffs"})) {
        return table::image_summary;
    }
    if (tokens_are(line, {"Origin+Size", "Section", "Module"})) {
        return table::module_summary;
    }
    if (tokens_are(line, {"Global", "Symbols"})) {
        return table::global_symbols;
    }
    return table::none;
}

bool ends_table(std::string_view line) {
    return trimmed(line).starts_with("Load Map");
}

bool is_blank(std::string_view line) {
    return trimmed(line).empty();
}

bool read_image_line(std::string_view line, image_section& section) {
    const std::vector<std::string_view> fields = tokens(line);
    std::uint32_t base = 0;
    std::uint32_t size = 0;
    std::uint32_t offset = 0;
    if (fields.size() != 5 || !read_hex8(fields[1], base) || !read_hex8(fields[2], size) ||
        !is_decimal(fields[3]) || !read_hex8(fields[4], offset)) {
        return false;
    }
    section.name = fields[0];
    section.base = base;
    section.size = size;
    return true;
}

bool read_module_line(std::string_view line, module_piece& piece) {
    std::size_t pos = 0;
    module_piece read;
    const std::string_view range = next_token(line, pos);
    read.section = next_token(line, pos);
    if (read.section.empty() || !read_origin_size(range, read.origin, read.size)) {
        return false;
    }
    read.module = trimmed(line.substr(pos));
    piece = read;
    return true;
}

}  // namespace tarvel::otter
