#include "mapfile/lld_map_line.h"

#include <array>

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

bool read_number(std::string_view token, int base, std::uint64_t& value) {
    if (token.empty() || token.size() > 16) {
        return false;
    }
    value = 0;
    for (const char c : token) {
        if (base == 16 ? !is_hex_digit(c) : !is_decimal_digit(c)) {
            return false;
        }
        const auto digit = static_cast<std::uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        value = value * static_cast<std::uint64_t>(base) + digit;
    }
    return true;
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

bool is_cross_reference_heading(std::string_view line) {
    return has_words(line, std::array<std::string_view, 2>{"Symbol", "File"});
}

bool read_line(std::string_view line, columns layout, map_line& parsed) {
    std::size_t pos = 0;
    std::uint64_t align = 0;
    parsed = {};
    if (!read_number(next_token(line, pos), 16, parsed.address)) {
        return false;
    }
    parsed.load_address = parsed.address;
    if (layout == columns::vma_lma &&
        !read_number(next_token(line, pos), 16, parsed.load_address)) {
        return false;
    }
    if (!read_number(next_token(line, pos), 16, parsed.size) ||
        !read_number(next_token(line, pos), 10, align)) {
        return false;
    }
    // One blank follows the alignment; the indentation of the text after it tells its level.
    if (pos >= line.size() || line[pos] != ' ') {
        return false;
    }
    const std::string_view text = line.substr(pos + 1);
    const std::size_t indent = text.find_first_not_of(' ');
    if (indent == std::string_view::npos) {
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
    const std::size_t open = rest.rfind(":(");
    if (indent < 16 && open != std::string_view::npos && rest.back() == ')') {
        parsed.kind = line_kind::input_section;
        parsed.file = rest.substr(0, open);
        parsed.name = rest.substr(open + 2, rest.size() - open - 3);
        return true;
    }
    parsed.kind = line_kind::other;
    parsed.name = rest;
    return true;
}

}  // namespace tarvel::lld
