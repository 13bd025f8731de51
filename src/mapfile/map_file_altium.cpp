#include "mapfile/map_file_altium.h"

#include <string>

#include "text/hex_number.h"

namespace tarvel {

namespace {
// Fixed columns of a symbol line.
constexpr std::size_t address_column = 32;
constexpr std::size_t size_column = 54;
constexpr std::size_t field_width = 6;

// Lines 2 to 4 hold the table's title and column headings; they are never examined.
constexpr int heading_lines = 3;

bool contains(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

// The field at `column`, shorter or empty where the line ends before it.
std::string_view field(std::string_view line, std::size_t column) {
    return column < line.size() ? line.substr(column, field_width) : std::string_view();
}
}  // namespace

bool c_map_file_altium::read_symbol(std::string_view line, c_map_entry& entry) {
    // One pass over the dots of the line, a run of dots at a time, tells all that depends on
    // them: whether a run of three or more ("...") occurs, whether "Reg." does (its dot is the
    // first of a run, after "Reg"), and where the first dot is.
    std::size_t first_dot = std::string_view::npos;
    bool has_leader = false;
    bool has_register = false;
    for (std::size_t dot = line.find('.'); dot != std::string_view::npos;) {
        if (first_dot == std::string_view::npos) {
            first_dot = dot;
        }
        has_register = has_register || (dot >= 3 && line.substr(dot - 3, 3) == "Reg");
        std::size_t run_end = dot + 1;
        while (run_end < line.size() && line[run_end] == '.') {
            ++run_end;
        }
        has_leader = has_leader || run_end - dot >= 3;
        // "Reg." matters only where the first dot comes before column 4; elsewhere the rest of
        // the line cannot change the result once a leader is seen.
        if (has_leader && first_dot >= 4) {
            break;
        }
        dot = line.find('.', run_end);
    }
    if (!has_leader) {
        return false;
    }
    // Register names such as "Reg.A0" carry a dot of their own; the name then ends at the first
    // dot from position 4 on.
    const std::size_t name_end =
        !has_register || first_dot >= 4 ? first_dot : line.find('.', std::size_t{4});
    const std::string_view name = line.substr(0, name_end);
    if (name.empty()) {
        return false;
    }
    entry.name = name;  // the list that keeps the entry copies it
    entry.address = strtoul_hex32(field(line, address_column));
    // A line that ends before the size column has no size: such a symbol is never placed.
    entry.size = strtoul_hex32(field(line, size_column));
    entry.index = no_area;
    entry.is_bit = contains(line, "BIT  BIT") ? 1 : 0;
    return true;
}

c_result<parsed_map> c_map_file_altium::parse(const c_memory_def& def,
                                              c_entry_list& program_entries,
                                              c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    std::string_view line;
    if (!next_line(line) || !contains(line, "Memory map")) {
        return parsed_map{};  // not a listing of this format: nothing to place
    }
    for (int i = 0; i < heading_lines; ++i) {
        next_line(line);  // at the end of the file this stays false, and so does the loop below
    }
    // The last line counts even without a line feed after it.
    c_map_entry entry;
    while (next_line(line) && !contains(line, "Number of symbols")) {
        if (read_symbol(line, entry)) {
            count_recognised();
            place_entry(entry, def, program_entries, memory_entries);
        }
    }
    // Reserved ranges count as used program memory; one outside every program area counts
    // nowhere. The name carries the range's position so that searches can tell them apart.
    for (std::size_t i = 0; i < def.reserved.size(); ++i) {
        const std::string name = "RESERVED" + std::to_string(i);
        c_map_entry reserved;
        reserved.address = def.reserved[i].start;
        reserved.size = def.reserved[i].size;
        reserved.name = name;
        place(std::move(reserved), def, &program_entries, nullptr);
    }
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_format_evidence> c_map_file_altium::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t number, std::string_view line) {
            return number == 1 && line.find("Memory map") != std::string_view::npos;
        });
}

}  // namespace tarvel
