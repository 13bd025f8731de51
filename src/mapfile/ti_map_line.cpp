#include "mapfile/ti_map_line.h"

#include <vector>

#include "mapfile/vendor_map_text.h"
#include "text/hex_number.h"
#include "text/text_tokens.h"

namespace tarvel::ti {

namespace {
// "RUN ADDR = 20000200" among the attributes.
bool read_address_attribute(std::string_view text, std::string_view key, std::uint32_t& value) {
    const std::size_t at = text.find(key);
    if (at == std::string_view::npos) {
        return false;
    }
    std::string_view rest = trimmed(text.substr(at + key.size()));
    if (!rest.starts_with("=")) {
        return false;
    }
    rest.remove_prefix(1);
    std::size_t pos = 0;
    return vendor::read_hex32(next_token(rest, pos), value);
}

// Upper-case words and blanks only, as the headings of the map's parts are written.
bool is_upper_heading(std::string_view text) {
    for (const char c : text) {
        if (c != ' ' && (c < 'A' || c > 'Z')) {
            return false;
        }
    }
    return !text.empty();
}
}  // namespace

part part_of_heading(std::string_view line) {
    // Headings begin with a capital in column 1; symbol lines, with a figure, are most of a
    // large map and are told apart here at once.
    if (line.empty() || line.front() < 'A' || line.front() > 'Z') {
        return part::none;
    }
    const std::string_view text = trimmed(line);
    if (text == "MEMORY CONFIGURATION") {
        return part::memory_configuration;
    }
    if (text == "SECTION ALLOCATION MAP") {
        return part::section_allocation;
    }
    if (text == "SEGMENT ALLOCATION MAP" || text == "MODULE SUMMARY" ||
        text.starts_with("GLOBAL SYMBOLS") || text.starts_with("GLOBAL DATA SYMBOLS") ||
        text.starts_with("LINKER GENERATED") || text.starts_with("CALL TRAMPOLINES") ||
        text.starts_with("FAR CALL TRAMPOLINES")) {
        return part::other;
    }
    // Further headings of newer linkers: upper-case words alone on their line.
    if (text.find(' ') != std::string_view::npos && is_upper_heading(text)) {
        return part::other;
    }
    return part::none;
}

bool read_region_line(std::string_view line, memory_region& region) {
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    memory_region read;
    std::uint32_t unused = 0;
    if (fields.size() < 5 || !vendor::read_hex32(fields[1], read.origin) ||
        !vendor::read_hex32(fields[2], read.length) || !vendor::read_hex32(fields[3], read.used) ||
        !vendor::read_hex32(fields[4], unused)) {
        return false;
    }
    read.name = fields[0];
    if (fields.size() > 5) {
        read.attributes =
            trimmed(line.substr(static_cast<std::size_t>(fields[5].data() - line.data())));
    }
    region = read;
    return true;
}

line_kind read_allocation_line(std::string_view line, output_section& output,
                               input_section& input) {
    if (trimmed(line).empty()) {
        return line_kind::other;
    }
    const std::vector<std::string_view> fields = vendor::tokens_of(line);
    if (!is_c_space(line.front())) {
        // An output section: name (or "*" after a name alone), page, origin, length, attributes.
        output_section read;
        if (fields.size() == 1 && fields[0] != "*") {
            read.name = fields[0];
            output = read;
            return line_kind::name_alone;
        }
        std::uint64_t page = 0;
        if (fields.size() < 4 || !vendor::read_decimal(fields[1], page) ||
            !vendor::read_hex32(fields[2], read.origin) ||
            !vendor::read_hex32(fields[3], read.length)) {
            return line_kind::other;
        }
        if (fields[0] != "*") {
            read.name = fields[0];
        }
        const std::string_view attributes =
            fields.size() > 4
                ? line.substr(static_cast<std::size_t>(fields[4].data() - line.data()))
                : std::string_view();
        if (attributes.find("DSECT") != std::string_view::npos ||
            attributes.find("COPY") != std::string_view::npos) {
            read.kind = allocation::not_allocated;
        } else if (attributes.find("UNINITIALIZED") != std::string_view::npos ||
                   attributes.find("NOLOAD") != std::string_view::npos) {
            read.kind = allocation::uninitialized;
        }
        read.has_run_address = read_address_attribute(attributes, "RUN ADDR", read.run_address);
        read.has_load_address = read_address_attribute(attributes, "LOAD ADDR", read.load_address);
        output = read;
        return line_kind::output_section;
    }
    input_section read;
    if (fields.size() < 3 || !vendor::read_hex32(fields[0], read.address) ||
        !vendor::read_hex32(fields[1], read.length)) {
        return line_kind::other;
    }
    std::string_view rest =
        trimmed(line.substr(static_cast<std::size_t>(fields[2].data() - line.data())));
    if (rest.starts_with("--HOLE--")) {
        read.section = "--HOLE--";
        input = read;
        return line_kind::input_section;
    }
    // "lib : object (section)", ": object (section)", "object (section)" or "(section)"; a
    // note in brackets may follow ("[load image, compression = lzss]").
    const std::size_t colon = rest.find(" : ");
    if (rest.starts_with(": ")) {
        read.same_library = true;
        rest = trimmed(rest.substr(1));
    } else if (colon != std::string_view::npos && colon < rest.find('(')) {
        read.library = trimmed(rest.substr(0, colon));
        rest = trimmed(rest.substr(colon + 2));
    }
    const std::size_t open = rest.find('(');
    const std::size_t close = open == std::string_view::npos ? open : rest.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return line_kind::other;
    }
    read.object = trimmed(rest.substr(0, open));
    read.section = rest.substr(open + 1, close - open - 1);
    if (read.section.empty()) {
        return line_kind::other;
    }
    input = read;
    return line_kind::input_section;
}

}  // namespace tarvel::ti
