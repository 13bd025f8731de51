#include "mapfile/map_file_otter.h"

#include <cstdint>
#include <map>

#include "mapfile/origin_table.h"
#include "mapfile/otter_map_line.h"

namespace tarvel {

namespace {
struct section_row {
    std::string name;
    std::uint32_t base = 0;
    std::uint32_t size = 0;
    std::vector<std::size_t> pieces;  // positions in the piece list
};

struct piece_row {
    std::string section;
    std::uint32_t origin_address = 0;
    std::uint32_t size = 0;
    std::string module;
};

bool holds(const section_row& section, const piece_row& piece) {
    return piece.origin_address >= section.base &&
           std::uint64_t{piece.origin_address} + piece.size <=
               std::uint64_t{section.base} + section.size;
}

c_map_entry make_entry(const std::string& name, std::uint32_t address, std::uint32_t size,
                       std::uint32_t origin) {
    c_map_entry entry;
    entry.name = name;
    entry.address = address;
    entry.size = size;
    entry.origin = origin;
    return entry;
}
}  // namespace

const char* c_map_file_otter::drop_rule(std::string_view name) {
    if (name.find("debug") != std::string_view::npos) {
        return "debugging section";
    }
    if (name == ".heap") {
        return "heap, sized by the linker to fill the rest of RAM";
    }
    if (name == ".linfix" || name == ".gstackfix" || name == ".note.renesas") {
        return "not part of the program image";
    }
    return nullptr;
}

c_result<parsed_map> c_map_file_otter::parse(const c_memory_def& def, c_entry_list& program_entries,
                                             c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    std::vector<section_row> sections;
    std::vector<piece_row> pieces;
    otter::table table = otter::table::none;
    std::string_view line;
    while (next_line(line)) {
        if (otter::ends_table(line)) {
            table = otter::table::none;
            continue;
        }
        if (const otter::table heading = otter::table_of_heading(line);
            heading != otter::table::none) {
            table = heading;
            continue;
        }
        // Inside the two tables every line but a blank one is a row; one that does not read
        // as a row has lost a column, and the section or piece it described with it.
        if (table == otter::table::image_summary) {
            otter::image_section read;
            if (otter::read_image_line(line, read)) {
                sections.push_back({std::string(read.name), read.base, read.size, {}});
            } else if (!otter::is_blank(line)) {
                count_damaged(
                    "an Image Summary row (section, base, size in hexadecimal and "
                    "decimal, offset)");
            }
        } else if (table == otter::table::module_summary) {
            otter::module_piece read;
            if (otter::read_module_line(line, read)) {
                pieces.push_back(
                    {std::string(read.section), read.origin, read.size, std::string(read.module)});
            } else if (!otter::is_blank(line)) {
                count_damaged("a Module Summary row (origin+size, section, module)");
            }
        }
    }
    close();

    // Each piece goes to the first section of its name that holds it; the tables may come in
    // any order.
    std::multimap<std::string_view, std::size_t> by_name;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        by_name.emplace(sections[i].name, i);
    }
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const auto [first, last] = by_name.equal_range(pieces[p].section);
        bool held = false;
        for (auto it = first; it != last && !held; ++it) {
            if (holds(sections[it->second], pieces[p])) {
                sections[it->second].pieces.push_back(p);
                held = true;
            }
        }
        if (!held) {
            count_recognised();
            count_dropped("module piece outside its section");
        }
    }

    origins_.clear();
    c_origin_table origins(origins_);
    for (const section_row& section : sections) {
        count_recognised();
        if (const char* rule = drop_rule(section.name); rule != nullptr) {
            count_dropped(rule);
            for (std::size_t i = 0; i < section.pieces.size(); ++i) {
                count_recognised();
                count_dropped(rule);
            }
            continue;
        }
        std::uint64_t covered = 0;
        for (const std::size_t p : section.pieces) {
            covered += pieces[p].size;
        }
        if (section.pieces.empty() || covered > section.size) {
            for (std::size_t i = 0; i < section.pieces.size(); ++i) {
                count_recognised();
                count_dropped("module pieces larger than their section");
            }
            place_entry(make_entry(section.name, section.base, section.size, no_origin), def,
                        program_entries, memory_entries);
            continue;
        }
        for (const std::size_t p : section.pieces) {
            count_recognised();
            place_entry(make_entry(section.name, pieces[p].origin_address, pieces[p].size,
                                   origins.index_of(pieces[p].module)),
                        def, program_entries, memory_entries);
        }
        // The section entry itself stands for the rest: what no module names (padding and
        // the linker's own bytes), so that the section's total stays its size.
        const auto rest = static_cast<std::uint32_t>(section.size - covered);
        if (rest > 0) {
            place_entry(
                make_entry(section.name, section.base + section.size - rest, rest, no_origin), def,
                program_entries, memory_entries);
        }
    }
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_format_evidence> c_map_file_otter::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            const otter::table table = otter::table_of_heading(line);
            return table == otter::table::image_summary || table == otter::table::module_summary;
        });
}

}  // namespace tarvel
