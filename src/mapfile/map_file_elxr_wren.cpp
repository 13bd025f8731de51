#include "mapfile/map_file_elxr_wren.h"

#include <algorithm>
#include <cstdint>

#include "mapfile/section_map_evidence.h"
#include "text/hex_number.h"

namespace tarvel {

namespace {
constexpr std::string_view stack_begin_symbol = "__stack_begin";
constexpr std::string_view stack_end_symbol = "__stack_end";

bool is_lower_hex_digit(char c) {
    return is_decimal_digit(c) || (c >= 'a' && c <= 'f');
}

bool is_upper_letter(char c) {
    return c >= 'A' && c <= 'Z';
}

// The end of the run of characters from `pos` on for which `accept` holds.
template <typename Predicate>
std::size_t skip(std::string_view line, std::size_t pos, Predicate accept) {
    while (pos < line.size() && accept(line[pos])) {
        ++pos;
    }
    return pos;
}

// Stack bounds seen in the symbol list; a later line replaces an earlier one.
struct stack_symbols {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool have_begin = false;
    bool have_end = false;
};
}  // namespace

c_map_file_elxr_wren::c_map_file_elxr_wren(const text_source& source) : c_map_file_elxr(source) {
    keep_copy_unless_regular_file();
}

const std::vector<std::string>& c_map_file_elxr_wren::section_names() const {
    static const std::vector<std::string> names{
        "bsct",     "ubsct",  "share",    "data_begin",  "data",    "bss",      "NoClear",
        "MY_STACK", "eeprom", "OptBytes", "OptByTMU",    "OptByBL", "vector",   "PBL",
        "const",    "text",   "ISR",      "STARTUPFUNC", "CfgId",   "Reserved", "init"};
    return names;
}

std::string c_map_file_elxr_wren::symbol_pattern_text(std::string_view symbol) {
    return "([0-9a-f]+)[[:space:]]+[A-Z]+[[:space:]]+" + std::string(symbol);
}

bool c_map_file_elxr_wren::match_symbol_line(std::string_view line, std::string_view symbol,
                                             std::string_view& address) {
    // A symbol line ends with the symbol: nearly every line of a large map is decided by its
    // last character, the rest by comparing its end.
    if (!symbol.empty() && (line.empty() || line.back() != symbol.back())) {
        return false;
    }
    if (!line.ends_with(symbol)) {
        return false;
    }
    // Each run below is followed by a character that cannot continue it, so taking every run
    // whole is the only way the line can match.
    std::size_t pos = skip(line, 0, is_lower_hex_digit);
    if (pos == 0 || pos == line.size() || !is_c_space(line[pos])) {
        return false;
    }
    const std::string_view digits = line.substr(0, pos);
    pos = skip(line, pos, is_c_space);
    const std::size_t type = pos;
    pos = skip(line, pos, is_upper_letter);
    if (pos == type || pos == line.size() || !is_c_space(line[pos])) {
        return false;
    }
    pos = skip(line, pos, is_c_space);
    if (line.substr(pos) != symbol) {
        return false;
    }
    address = digits;
    return true;
}

void c_map_file_elxr_wren::post_process(std::vector<c_map_entry>& entries) {
    const auto named = [&entries](std::string_view name) {
        return std::find_if(entries.begin(), entries.end(),
                            [name](const c_map_entry& entry) { return entry.name == name; });
    };
    const auto data = named(".data");
    const auto data_begin = named(".data_begin");
    if (data == entries.end() || data_begin == entries.end()) {
        return;
    }
    c_map_entry rodata = *data;
    rodata.name = "rodata";
    data->address = data_begin->address;
    entries.push_back(std::move(rodata));  // invalidates `data` and `data_begin`

    if (!reopen()) {
        return;
    }
    stack_symbols stack;
    std::string_view line;
    std::string_view digits;
    while (read_line(line)) {
        if (match_symbol_line(line, stack_begin_symbol, digits)) {
            stack.begin = hex_digits_to_u32(digits);
            stack.have_begin = true;
        } else if (match_symbol_line(line, stack_end_symbol, digits)) {
            stack.end = hex_digits_to_u32(digits);
            stack.have_end = true;
        }
    }
    close();
    // With a bound missing, or the end not above the begin, the size would wrap around to
    // nearly 4 GiB: no stack entry then.
    if (stack.have_begin && stack.have_end && stack.end > stack.begin) {
        c_map_entry entry;
        entry.name = "stack";
        entry.address = stack.begin;
        entry.size = stack.end - stack.begin;
        entries.push_back(std::move(entry));
    }
}

// A ".data_begin" section, or the stack symbols anywhere in the lines read.
std::unique_ptr<c_format_evidence> c_map_file_elxr_wren::evidence() {
    return std::make_unique<c_section_table_evidence>(
        4,
        [](std::string_view line, const section_line_fields&) {
            static const c_map_file_elxr_wren wren{text_source{}};
            section_line_fields fields;
            return wren.line_regex().match(line, fields) && fields.name.substr(1) == "data_begin";
        },
        [](std::string_view line) {
            std::string_view address;
            return match_symbol_line(line, "__stack_begin", address) ||
                   match_symbol_line(line, "__stack_end", address);
        });
}

}  // namespace tarvel
