#include "mapfile/armlink_map_line.h"

#include <vector>

#include "mapfile/vendor_map_text.h"
#include "text/text_tokens.h"

namespace tarvel::armlink {

namespace {
bool read_type(std::string_view token, row_type& type) {
    if (token == "Code" || token == "Ven") {
        type = row_type::code;
    } else if (token == "Data") {
        type = row_type::data;
    } else if (token == "Zero") {
        type = row_type::zero;
    } else if (token == "PAD") {
        type = row_type::pad;
    } else {
        return false;
    }
    return true;
}

bool is_decimal_token(std::string_view token) {
    std::uint64_t ignored = 0;
    return vendor::read_decimal(token, ignored);
}
}  // namespace

part part_of_heading(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (text == "Memory Map of the image") {
        return part::memory_map;
    }
    if (text == "Image component sizes") {
        return part::component_sizes;
    }
    if (text == "Image Symbol Table" || text == "Section Cross References" ||
        text.starts_with("Removing Unused input sections")) {
        return part::other;
    }
    return part::none;
}

bool read_region_header(std::string_view line, region_header& header) {
    std::string_view text = trimmed(line);
    region_header read;
    if (text.starts_with("Load Region ")) {
        read.is_load_region = true;
        text.remove_prefix(12);
    } else if (text.starts_with("Execution Region ")) {
        text.remove_prefix(17);
    } else {
        return false;
    }
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return false;
    }
    read.name = trimmed(text.substr(0, open));
    if (read.name.empty()) {
        return false;
    }
    bool has_base = false;
    bool has_size = false;
    std::string_view fields = text.substr(open + 1, close - open - 1);
    while (!fields.empty()) {
        const std::size_t comma = fields.find(',');
        const std::string_view field = trimmed(fields.substr(0, comma));
        fields = comma == std::string_view::npos ? std::string_view() : fields.substr(comma + 1);
        const std::size_t colon = field.find(':');
        if (colon != std::string_view::npos) {
            const std::string_view key = trimmed(field.substr(0, colon));
            const std::string_view value = trimmed(field.substr(colon + 1));
            std::uint64_t number = 0;
            if (!vendor::read_hex(value, number)) {
                continue;
            }
            if ((key == "Base" || key == "Exec base") && number <= 0xFFFFFFFFu) {
                read.base = static_cast<std::uint32_t>(number);
                has_base = true;
            } else if (key == "Load base" && number <= 0xFFFFFFFFu) {
                read.load_base = static_cast<std::uint32_t>(number);
                read.has_load_base = true;
            } else if (key == "Size" && number <= 0xFFFFFFFFu) {
                read.size = static_cast<std::uint32_t>(number);
                has_size = true;
            } else if (key == "Max") {
                read.max = number;
            }
        } else if (field.starts_with("COMPRESSED[") && field.ends_with("]")) {
            read.compressed =
                vendor::read_hex32(field.substr(11, field.size() - 12), read.compressed_size);
        }
    }
    if (!has_base || !has_size) {
        return false;
    }
    header = read;
    return true;
}

bool is_table_heading(std::string_view line) {
    const std::string_view text = trimmed(line);
    return text.starts_with("Exec Addr") || text.starts_with("Base Addr");
}

bool read_section_row(std::string_view line, section_row& row) {
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    section_row read;
    std::size_t at = 0;
    if (fields.size() < 3 || !vendor::read_hex32(fields[at++], read.exec_address)) {
        return false;
    }
    // The load column, when the map has one: an address, "COMPRESSED" or "-".
    std::uint32_t second = 0;
    if (fields[at] == "-") {
        read.load = load_column::none;
        read.dash = true;
        ++at;
    } else if (fields[at] == "COMPRESSED") {
        read.load = load_column::compressed;
        ++at;
    } else if (at + 1 < fields.size() && vendor::read_hex32(fields[at], second) &&
               vendor::read_hex32(fields[at + 1], read.size)) {
        read.load = load_column::address;
        read.load_address = second;
        ++at;
    }
    if (at >= fields.size() || !vendor::read_hex32(fields[at++], read.size)) {
        return false;
    }
    if (at >= fields.size() || !read_type(fields[at++], read.type)) {
        return false;
    }
    if (read.type == row_type::pad) {
        if (at != fields.size()) {
            return false;
        }
        row = read;
        return true;
    }
    // Attribute, index, the entry mark "*" when present, section name, object.
    if (at + 3 > fields.size()) {
        return false;
    }
    const std::string_view attribute = fields[at++];
    if (attribute == "RW" || attribute == "ZI") {
        read.read_write = true;
    } else if (attribute != "RO") {
        return false;
    }
    if (!is_decimal_token(fields[at++])) {
        return false;
    }
    if (fields[at] == "*") {
        ++at;
    }
    if (at + 2 > fields.size()) {
        return false;
    }
    read.name = fields[at++];
    // The object is the rest of the line: a path may hold blanks.
    const std::size_t object_start = static_cast<std::size_t>(fields[at].data() - line.data());
    read.object = trimmed(line.substr(object_start));
    row = read;
    return true;
}

bool read_total_line(std::string_view line, total_kind& kind, std::uint64_t& bytes) {
    const std::string_view text = trimmed(line);
    if (text.starts_with("Total ROM Size")) {
        kind = total_kind::rom;
    } else if (text.starts_with("Total RO ")) {
        kind = total_kind::ro;
    } else if (text.starts_with("Total RW ")) {
        kind = total_kind::rw;
    } else {
        return false;
    }
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos) {
        return false;
    }
    std::size_t pos = close + 1;
    return vendor::read_decimal(next_token(text, pos), bytes);
}

bool read_grand_totals(std::string_view line, component_totals& totals) {
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    if (fields.size() != 8 || fields[6] != "Grand" || fields[7] != "Totals") {
        return false;
    }
    std::uint64_t values[6] = {};
    for (std::size_t i = 0; i < 6; ++i) {
        if (!vendor::read_decimal(fields[i], values[i])) {
            return false;
        }
    }
    totals.code = values[0];
    totals.ro_data = values[2];
    totals.rw_data = values[3];
    totals.zi_data = values[4];
    return true;
}

}  // namespace tarvel::armlink
