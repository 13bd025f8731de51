#include "mapfile/iar_map_line.h"

#include "mapfile/vendor_map_text.h"
#include "text/hex_number.h"
#include "text/text_tokens.h"

namespace tarvel::iar {

namespace {
// The kind at fields[i], and how many tokens it takes ("ro code" two, "const" one); 0 for none.
std::size_t read_kind(const std::vector<std::string_view>& fields, std::size_t i, kind& what) {
    const std::string_view word = fields[i];
    if ((word == "ro" || word == "rw") && i + 1 < fields.size() &&
        (fields[i + 1] == "code" || fields[i + 1] == "data")) {
        const bool code = fields[i + 1] == "code";
        what = word == "ro" ? (code ? kind::ro_code : kind::ro_data)
                            : (code ? kind::rw_code : kind::rw_data);
        return 2;
    }
    if (word == "const") {
        what = kind::ro_data;
        return 1;
    }
    if (word == "inited" || word == "zero" || word == "uninit" || word == "noinit") {
        what = kind::rw_data;
        return 1;
    }
    return 0;
}

std::string_view rest_from(std::string_view line, std::string_view token) {
    return trimmed(line.substr(static_cast<std::size_t>(token.data() - line.data())));
}

bool writable_item(std::string_view item) {
    std::size_t pos = 0;
    const std::string_view first = next_token(item, pos);
    if (first == "rw" || first == "readwrite" || first == "zi" || first == "zeroinit") {
        return true;
    }
    for (const std::string_view mark :
         {"STACK", "HEAP", "stack", "heap", ".bss", ".data", ".noinit"}) {
        if (item.find(mark) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}
}  // namespace

part part_of_title(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (!text.starts_with("*** ") || text.size() < 5) {
        return part::none;
    }
    const std::string_view title = trimmed(text.substr(4));
    if (title == "PLACEMENT SUMMARY") {
        return part::placement_summary;
    }
    return title == "MODULE SUMMARY" ? part::module_summary : part::other;
}

bool ends_statement(std::string_view line) {
    return trimmed(line).ends_with(";");
}

bool read_placement(std::string_view statement, placement& read) {
    const std::string_view text = trimmed(statement);
    if (!text.starts_with("\"")) {
        return false;
    }
    const std::size_t close = text.find("\":", 1);
    if (close == std::string_view::npos) {
        return false;
    }
    placement result;
    result.label = text.substr(1, close - 1);
    std::string_view rest = trimmed(text.substr(close + 2));
    if (!rest.starts_with("place in")) {
        return false;
    }
    const std::size_t brace = rest.find('{');
    std::string_view where = rest.substr(0, brace);
    while (true) {
        const std::size_t open = where.find("[from ");
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t end = where.find(']', open);
        if (end == std::string_view::npos) {
            return false;
        }
        const std::vector<std::string_view> fields =
            vendor::tokens_of(where.substr(open + 1, end - open - 1));
        std::uint64_t from = 0;
        std::uint64_t second = 0;
        if (fields.size() != 4 || !vendor::read_hex(fields[1], from) ||
            !vendor::read_hex(fields[3], second) || from > 0xFFFFFFFFu) {
            return false;
        }
        address_range range{static_cast<std::uint32_t>(from), 0};
        if (fields[2] == "to" && second >= from) {
            range.size = second - from + 1;
        } else if (fields[2] == "size") {
            range.size = second;
        } else {
            return false;
        }
        const std::uint64_t room = (std::uint64_t{1} << 32) - from;
        range.size = range.size < room ? range.size : room;
        result.ranges.push_back(range);
        where = where.substr(end + 1);
    }
    if (result.ranges.empty()) {
        return false;
    }
    if (brace != std::string_view::npos) {
        std::string_view items = rest.substr(brace + 1);
        items = items.substr(0, items.find('}'));
        while (!items.empty()) {
            const std::size_t comma = items.find(',');
            result.writable = result.writable || writable_item(trimmed(items.substr(0, comma)));
            items = comma == std::string_view::npos ? std::string_view() : items.substr(comma + 1);
        }
    }
    read = std::move(result);
    return true;
}

bool is_section_heading(std::string_view line) {
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    return fields.size() == 5 && fields[0] == "Section" && fields[1] == "Kind" &&
           fields[2] == "Address" && fields[3] == "Size" && fields[4] == "Object";
}

bool read_part_header(std::string_view line, std::string_view& label, std::uint32_t& size) {
    const std::string_view text = trimmed(line);
    if (!text.starts_with("\"")) {
        return false;
    }
    const std::size_t close = text.find('"', 1);
    const std::size_t colon = text.rfind(':');
    if (close == std::string_view::npos || colon == std::string_view::npos || colon < close) {
        return false;
    }
    std::size_t pos = colon + 1;
    const std::string_view figure = next_token(text, pos);
    if (!next_token(text, pos).empty() || !vendor::read_hex32(figure, size)) {
        return false;
    }
    label = text.substr(1, close - 1);
    return true;
}

bool is_part_end(std::string_view line) {
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    std::uint32_t ignored = 0;
    return fields.size() == 3 && fields[0] == "-" && vendor::read_hex32(fields[1], ignored) &&
           vendor::read_hex32(fields[2], ignored);
}

row_kind read_section_row(std::string_view line, section_row& row) {
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    if (fields.empty()) {
        return row_kind::none;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        kind what{};
        const std::size_t taken = read_kind(fields, i, what);
        if (taken == 0) {
            continue;
        }
        const std::size_t at = i + taken;
        section_row read;
        if (at + 2 > fields.size() || !vendor::read_hex32(fields[at], read.address) ||
            !vendor::read_hex32(fields[at + 1], read.size)) {
            return row_kind::none;
        }
        read.what = what;
        if (i > 0) {
            const std::size_t start = static_cast<std::size_t>(fields[0].data() - line.data());
            const std::size_t end =
                static_cast<std::size_t>(fields[i - 1].data() - line.data()) + fields[i - 1].size();
            read.name = line.substr(start, end - start);
        }
        read.object = at + 2 < fields.size() ? rest_from(line, fields[at + 2]) : std::string_view();
        row = read;
        return row_kind::section;
    }
    std::uint32_t ignored = 0;
    if (fields.size() >= 4 && vendor::read_hex32(fields[1], ignored) &&
        vendor::read_hex32(fields[2], ignored) && fields[3].starts_with("<")) {
        return row_kind::container;
    }
    if (fields.size() == 1 && !fields[0].starts_with("\"") && fields[0] != "-") {
        row = section_row{};
        row.name = fields[0];
        return row_kind::name_alone;
    }
    return row_kind::none;
}

bool read_legend(std::string_view line, std::uint32_t& number, std::string_view& path) {
    const std::string_view text = trimmed(line);
    const std::size_t close = text.find(']');
    if (!text.starts_with("[") || close == std::string_view::npos) {
        return false;
    }
    std::uint64_t value = 0;
    std::string_view rest = trimmed(text.substr(close + 1));
    if (!vendor::read_decimal(text.substr(1, close - 1), value) || value > 0xFFFFFFFFu ||
        !rest.starts_with("=")) {
        return false;
    }
    number = static_cast<std::uint32_t>(value);
    path = trimmed(rest.substr(1));
    return !path.empty();
}

bool split_object(std::string_view object, std::string_view& name, std::uint32_t& legend) {
    const std::string_view text = trimmed(object);
    if (text.empty() || text.starts_with("<") || text.starts_with("-")) {
        return false;
    }
    legend = 0;
    name = text;
    const std::size_t open = text.rfind(" [");
    std::uint64_t value = 0;
    if (open != std::string_view::npos && text.ends_with("]") &&
        vendor::read_decimal(text.substr(open + 2, text.size() - open - 3), value) &&
        value <= 0xFFFFFFFFu) {
        legend = static_cast<std::uint32_t>(value);
        name = trimmed(text.substr(0, open));
    }
    return !name.empty();
}

bool read_closing_total(std::string_view line, total_kind& what, std::uint64_t& bytes,
                        std::uint64_t& absolute) {
    // Every line of the map is asked: a figure must begin it before the text is searched.
    const std::string_view text = trimmed(line);
    if (text.empty() || !is_decimal_digit(text.front())) {
        return false;
    }
    const std::size_t of = text.find(" bytes of ");
    if (of == std::string_view::npos) {
        return false;
    }
    const std::string_view figure = text.substr(0, of);
    for (const char c : figure) {
        if (!is_decimal_digit(c) && c != '\'' && c != ' ' && c != ',') {
            return false;
        }
    }
    const std::vector<std::string_view> words = vendor::tokens_of(text.substr(of + 10));
    if (words.size() < 3 || words[2] != "memory" ||
        (words[0] != "readonly" && words[0] != "readwrite") ||
        (words[1] != "code" && words[1] != "data") ||
        !vendor::first_grouped_decimal(figure, bytes)) {
        return false;
    }
    const bool code = words[1] == "code";
    what = words[0] == "readonly"
               ? (code ? total_kind::readonly_code : total_kind::readonly_data)
               : (code ? total_kind::readwrite_code : total_kind::readwrite_data);
    absolute = 0;
    const std::size_t plus = text.find("(+ ");
    if (plus != std::string_view::npos && text.find("absolute", plus) != std::string_view::npos) {
        vendor::first_grouped_decimal(text.substr(plus + 3), absolute);
    }
    return true;
}

}  // namespace tarvel::iar
