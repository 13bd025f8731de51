#include "mapfile/map_file_armlink.h"

#include <algorithm>
#include <string>
#include <vector>

#include "mapfile/armlink_map_line.h"
#include "mapfile/origin_table.h"
#include "mapfile/vendor_map_text.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
// What the rows add up to, by the classes of the map's own totals.
struct class_sums {
    std::uint64_t ro = 0;   // code and RO data
    std::uint64_t rw = 0;   // RW data
    std::uint64_t zi = 0;   // ZI data
    std::uint64_t rom = 0;  // RO, and RW data as stored (compressed where it is)
};

enum class row_class { ro, rw, zi };

bool is_separator(std::string_view line) {
    const std::string_view text = trimmed(line);
    return !text.empty() && text.find_first_not_of('=') == std::string_view::npos;
}

std::string figure_text(std::string_view what, std::uint64_t stated, std::uint64_t added) {
    return vendor::joined({"a total that the rows of the memory map add up to (", what, " ",
                           std::to_string(stated), ", the rows give ", std::to_string(added), ")"});
}

// The current execution region while its rows are read.
struct exec_region {
    std::string name;
    armlink::region_header header;
    std::uint32_t load_base = 0;  // where its load image begins
    row_class last = row_class::ro;
};
}  // namespace

bool c_map_file_armlink::define_areas(c_memory_def& def) {
    if (!is_open_) {
        return false;
    }
    keep_copy_unless_regular_file();
    struct region {
        std::string name;
        mem_area area;
        bool writable = false;
    };
    std::vector<region> regions;
    armlink::part part = armlink::part::none;
    std::string_view line;
    while (next_line(line)) {
        if (const armlink::part heading = armlink::part_of_heading(line);
            heading != armlink::part::none) {
            part = heading;
            continue;
        }
        if (part != armlink::part::memory_map) {
            continue;
        }
        armlink::region_header header;
        if (armlink::read_region_header(line, header)) {
            if (!header.is_load_region) {
                const std::uint64_t room = entry_address_space - header.base;
                const std::uint64_t size = header.max != 0 ? header.max : header.size;
                regions.push_back(
                    {std::string(header.name),
                     {header.base, static_cast<std::uint32_t>(std::min(size, room)), no_area},
                     false});
            }
            continue;
        }
        armlink::section_row row;
        if (!regions.empty() && armlink::read_section_row(line, row) &&
            (row.read_write || row.type == armlink::row_type::zero)) {
            regions.back().writable = true;
        }
    }
    if (!reopen() || regions.empty()) {
        return false;
    }
    def.program.clear();
    def.memory.clear();
    def.program_names.clear();
    def.memory_names.clear();
    for (region& r : regions) {
        (r.writable ? def.memory : def.program).push_back(r.area);
        (r.writable ? def.memory_names : def.program_names).push_back(std::move(r.name));
    }
    return true;
}

c_result<parsed_map> c_map_file_armlink::parse(const c_memory_def& def,
                                               c_entry_list& program_entries,
                                               c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    origins_.clear();
    c_origin_table origins(origins_);
    class_sums sums;
    armlink::part part = armlink::part::none;
    bool in_region = false;
    exec_region current;
    std::uint32_t load_cursor = 0;  // the next load address of the load region being read

    const auto add = [&](std::string_view name, std::uint32_t address, std::uint32_t size,
                         std::uint32_t origin) {
        add_entry(name, address, size, origin, def, program_entries, memory_entries);
    };
    // Compressed RW data is stored as one image of the region, of the size the map states.
    const auto end_region = [&]() {
        if (in_region && current.header.compressed) {
            add(current.name, current.load_base, current.header.compressed_size, no_origin);
            sums.rom += current.header.compressed_size;
        }
        in_region = false;
    };
    const auto take_row = [&](const armlink::section_row& row) {
        row_class kind = row_class::ro;
        if (row.type == armlink::row_type::pad) {
            kind = row.dash ? row_class::zi : current.last;
        } else if (row.type == armlink::row_type::zero) {
            kind = row_class::zi;
        } else if (row.read_write) {
            kind = row_class::rw;
        }
        current.last = kind;
        const std::string_view name = row.type == armlink::row_type::pad ? "PAD" : row.name;
        const std::uint32_t origin = row.size > 0 ? origins.index_of(row.object) : no_origin;
        add(name, row.exec_address, row.size, origin);
        if (kind == row_class::zi) {
            sums.zi += row.size;
            return;
        }
        (kind == row_class::ro ? sums.ro : sums.rw) += row.size;
        // The load image: where the map prints a load address, there; in a map of one address
        // column, at the same offset from the region's load base.
        std::uint32_t load = row.exec_address;
        if (row.load == armlink::load_column::address) {
            load = row.load_address;
        } else if (row.load == armlink::load_column::none && !row.dash) {
            load = current.load_base + (row.exec_address - current.header.base);
        } else {
            return;  // compressed: the region's image counts instead
        }
        sums.rom += row.size;
        if (load != row.exec_address) {
            add(name, load, row.size, origin);
        }
    };

    std::string_view line;
    while (next_line(line)) {
        if (const armlink::part heading = armlink::part_of_heading(line);
            heading != armlink::part::none) {
            end_region();
            part = heading;
            continue;
        }
        armlink::total_kind kind{};
        std::uint64_t stated = 0;
        if (armlink::read_total_line(line, kind, stated)) {
            end_region();
            const std::uint64_t added = kind == armlink::total_kind::ro   ? sums.ro
                                        : kind == armlink::total_kind::rw ? sums.rw + sums.zi
                                                                          : sums.rom;
            if (added != stated) {
                count_damaged(figure_text(kind == armlink::total_kind::ro   ? "Total RO Size"
                                          : kind == armlink::total_kind::rw ? "Total RW Size"
                                                                            : "Total ROM Size",
                                          stated, added));
            }
            continue;
        }
        if (part == armlink::part::component_sizes) {
            armlink::component_totals totals;
            if (armlink::read_grand_totals(line, totals) &&
                (totals.code + totals.ro_data != sums.ro || totals.rw_data != sums.rw ||
                 totals.zi_data != sums.zi)) {
                count_damaged(
                    figure_text("Grand Totals of code and RO, RW and ZI data",
                                totals.code + totals.ro_data + totals.rw_data + totals.zi_data,
                                sums.ro + sums.rw + sums.zi));
            }
            continue;
        }
        if (part != armlink::part::memory_map) {
            continue;
        }
        armlink::region_header header;
        if (armlink::read_region_header(line, header)) {
            end_region();
            if (header.is_load_region) {
                load_cursor = header.base;
                continue;
            }
            in_region = true;
            current.name.assign(header.name);
            current.header = header;
            current.last = row_class::ro;
            current.load_base = header.has_load_base ? header.load_base : load_cursor;
            // The next execution region of the load region is stored after this one.
            load_cursor = current.load_base + header.size;
            continue;
        }
        if (!in_region || trimmed(line).empty() || armlink::is_table_heading(line) ||
            is_separator(line)) {
            continue;
        }
        armlink::section_row row;
        if (armlink::read_section_row(line, row)) {
            take_row(row);
        } else {
            count_damaged(
                "a row of an execution region (address, size, type, attribute, index, section, "
                "object)");
        }
    }
    end_region();
    close();
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_format_evidence> c_map_file_armlink::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            const std::string_view text = trimmed(line);
            return text.starts_with("Component: ARM Compiler") ||
                   text.starts_with("Component: Arm Compiler") ||
                   text.find("Tool: armlink") != std::string_view::npos ||
                   armlink::part_of_heading(text) == armlink::part::memory_map;
        });
}

}  // namespace tarvel
