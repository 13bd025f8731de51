#include "memdef/memory_def.h"

#include <array>
#include <sstream>

#include "text/text_file.h"

namespace tarvel {

namespace {
constexpr std::size_t reserved_areas = 1024;

struct keyword {
    std::string_view text;
    def_line_kind kind;
};

// Tested in this order; the first keyword found anywhere in the line decides its kind.
constexpr std::array<keyword, 5> keywords{{
    {"SEARCH", def_line_kind::search},
    {"PROGRAM", def_line_kind::program},
    {"MEMORY", def_line_kind::memory},
    {"EEPROM", def_line_kind::eeprom},
    {"RESERVED", def_line_kind::reserved},
}};

// A comment starts at the line's first "/" when another "/" follows it directly. Only that
// first "/" is looked at.
std::string_view without_comment(std::string_view line) {
    const std::size_t slash = line.find('/');
    if (slash != std::string_view::npos && slash + 1 < line.size() && line[slash + 1] == '/') {
        return line.substr(0, slash);
    }
    return line;
}

// Formatted hexadecimal extraction of start and size: a number that cannot be read becomes 0
// and stops the extraction, so the fields after it keep their values.
void read_area_fields(std::string_view fields, mem_area& area) {
    std::istringstream stream{std::string(fields) + '\n'};
    stream >> std::hex >> area.start >> area.size;
}
}  // namespace

c_result<done> c_memory_def::load(const std::string& file_name, search_list& searches) {
    for (auto* areas : {&program, &memory, &eeprom, &reserved}) {
        areas->reserve(reserved_areas);
    }
    c_text_file file(file_name);
    if (!file.is_open()) {
        return input_error{file_name, 0, "cannot be opened for reading"};
    }
    std::string_view line;
    while (file.next(line)) {
        mem_area area;
        switch (parse_line(area, line, searches)) {
            case def_line_kind::program:
                program.push_back(area);
                break;
            case def_line_kind::memory:
                memory.push_back(area);
                break;
            case def_line_kind::eeprom:
                eeprom.push_back(area);
                break;
            case def_line_kind::reserved:
                reserved.push_back(area);
                break;
            case def_line_kind::none:
            case def_line_kind::search:
                break;
        }
    }
    if (program.empty() && memory.empty() && eeprom.empty() && reserved.empty()) {
        return input_error{file_name, 0, "holds no PROGRAM, MEMORY, EEPROM or RESERVED line"};
    }
    return done{};
}

def_line_kind c_memory_def::parse_line(mem_area& area, std::string_view line,
                                       search_list& searches) const {
    const std::string_view text = without_comment(line);
    for (const auto& [word, kind] : keywords) {
        const std::size_t at = text.find(word);
        if (at == std::string_view::npos) {
            continue;
        }
        // The fields follow the keyword wherever it stands, so an indented line reads the same
        // as one with the keyword in column 1.
        const std::string_view fields = text.substr(at + word.size());
        if (kind == def_line_kind::search) {
            search_def search = parse_terms(fields);
            if (search.valid) {
                searches.push_back(std::move(search));
            }
        } else {
            read_area_fields(fields, area);
        }
        return kind;
    }
    return def_line_kind::none;
}

bool c_memory_def::find_area(std::uint32_t address, std::uint32_t size, std::uint32_t& index,
                             const std::vector<mem_area>& areas) {
    if (size == 0) {
        return false;
    }
    // Computed in 64 bits: an area may reach the top of the address space, and a range whose
    // end passes 2^32 lies in no area.
    const std::uint64_t end = std::uint64_t{address} + size;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const mem_area& area = areas[i];
        if (address >= area.start && end <= std::uint64_t{area.start} + area.size) {
            index = static_cast<std::uint32_t>(i);
            return true;
        }
    }
    return false;
}

std::uint32_t c_memory_def::total_size(const std::vector<mem_area>& areas) {
    std::uint32_t total = 0;
    for (const auto& area : areas) {
        total += area.size;
    }
    return total;
}

const mem_area& c_memory_def::program_area(std::size_t position) const {
    static const mem_area outside{0, 0, no_area};
    return position < program.size() ? program[position] : outside;
}

}  // namespace tarvel
