#include "mapfile/map_file_ti.h"

#include <algorithm>
#include <string>
#include <vector>

#include "mapfile/origin_table.h"
#include "mapfile/ti_map_line.h"
#include "mapfile/vendor_map_text.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
struct region_row {
    std::string name;
    std::uint32_t origin = 0;
    std::uint32_t length = 0;
    std::uint32_t used = 0;
    std::uint64_t line = 0;
    bool writable_attribute = true;
    bool holds_uninitialized = false;
    bool holds_loaded = false;
    std::uint64_t added = 0;  // what the entries in its range add up to
};

region_row* region_at(std::vector<region_row>& regions, std::uint32_t address) {
    for (region_row& region : regions) {
        if (address >= region.origin &&
            std::uint64_t{address} < std::uint64_t{region.origin} + region.length) {
            return &region;
        }
    }
    return nullptr;
}

bool names_ram(std::string_view name) {
    std::string upper(name);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper.find("RAM") != std::string::npos;
}

// The output section whose input sections are being read.
struct open_section {
    bool open = false;
    std::string name;
    ti::output_section header;
    std::uint64_t line = 0;
    std::uint64_t inputs = 0;  // what its input sections add up to
    bool any_input = false;
    std::string library;  // of the last input section that named one
};
}  // namespace

bool c_map_file_ti::define_areas(c_memory_def& def) {
    if (!is_open_) {
        return false;
    }
    keep_copy_unless_regular_file();
    std::vector<region_row> regions;
    ti::part part = ti::part::none;
    bool found = false;
    std::string pending;
    std::string_view line;
    while (next_line(line)) {
        if (const ti::part heading = ti::part_of_heading(line); heading != ti::part::none) {
            part = heading;
            found = found || part == ti::part::memory_configuration;
            continue;
        }
        if (part == ti::part::memory_configuration) {
            ti::memory_region read;
            if (ti::read_region_line(line, read)) {
                region_row row;
                row.name.assign(read.name);
                row.origin = read.origin;
                row.length = read.length;
                row.writable_attribute =
                    read.attributes.empty() || read.attributes.find('W') != std::string_view::npos;
                regions.push_back(std::move(row));
            }
        } else if (part == ti::part::section_allocation) {
            ti::output_section output;
            ti::input_section input;
            if (ti::read_allocation_line(line, output, input) != ti::line_kind::output_section ||
                output.kind == ti::allocation::not_allocated || output.length == 0) {
                continue;
            }
            if (region_row* at = region_at(regions, output.origin)) {
                (output.kind == ti::allocation::uninitialized || output.has_load_address
                     ? at->holds_uninitialized
                     : at->holds_loaded) = true;
            }
            if (output.has_run_address) {
                if (region_row* run = region_at(regions, output.run_address)) {
                    run->holds_uninitialized = true;
                }
            }
            if (output.has_load_address) {
                if (region_row* load = region_at(regions, output.load_address)) {
                    load->holds_loaded = true;
                }
            }
        }
    }
    if (!reopen() || !found || regions.empty()) {
        return false;
    }
    def.program.clear();
    def.memory.clear();
    def.program_names.clear();
    def.memory_names.clear();
    for (region_row& region : regions) {
        const std::uint64_t room = entry_address_space - region.origin;
        const mem_area area{
            region.origin, static_cast<std::uint32_t>(std::min<std::uint64_t>(region.length, room)),
            no_area};
        bool ram = false;
        if (region.writable_attribute) {
            ram = region.holds_uninitialized || (!region.holds_loaded && names_ram(region.name));
        }
        (ram ? def.memory : def.program).push_back(area);
        (ram ? def.memory_names : def.program_names).push_back(std::move(region.name));
    }
    return true;
}

c_result<parsed_map> c_map_file_ti::parse(const c_memory_def& def, c_entry_list& program_entries,
                                          c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    origins_.clear();
    c_origin_table origins(origins_);
    std::vector<region_row> regions;

    const auto add = [&](std::string_view name, std::uint32_t address, std::uint32_t size,
                         std::uint32_t origin) {
        if (!add_entry(name, address, size, origin, def, program_entries, memory_entries)) {
            return;
        }
        if (region_row* region = region_at(regions, address)) {
            region->added += size;
        }
    };
    // An entry of the section, and its copy where the section runs elsewhere than it is loaded.
    const auto add_placed = [&](const ti::output_section& section, std::string_view name,
                                std::uint32_t address, std::uint32_t size, std::uint32_t origin) {
        if (section.kind == ti::allocation::not_allocated) {
            count_recognised();
            count_dropped("not allocated (DSECT or COPY section)");
            return;
        }
        add(name, address, size, origin);
        const std::uint32_t offset = address - section.origin;
        if (section.has_run_address) {
            add(name, section.run_address + offset, size, origin);
        } else if (section.has_load_address) {
            add(name, section.load_address + offset, size, origin);
        }
    };

    open_section current;
    const auto end_section = [&]() {
        if (!current.open) {
            return;
        }
        current.open = false;
        if (!current.any_input) {
            add_placed(current.header, current.name, current.header.origin, current.header.length,
                       no_origin);
        } else if (current.inputs != current.header.length &&
                   current.header.kind != ti::allocation::not_allocated) {
            count_damaged_at(
                current.line,
                vendor::joined({"an output section whose input sections add up to "
                                "its length (",
                                current.name, ": ", std::to_string(current.header.length),
                                " bytes, its input sections ", std::to_string(current.inputs),
                                ")"}));
        }
    };

    ti::part part = ti::part::none;
    std::string pending_name;
    std::uint64_t pending_line = 0;
    std::string file;
    std::string_view line;
    while (next_line(line)) {
        if (const ti::part heading = ti::part_of_heading(line); heading != ti::part::none) {
            end_section();
            part = heading;
            continue;
        }
        if (part == ti::part::memory_configuration) {
            ti::memory_region read;
            if (ti::read_region_line(line, read)) {
                region_row row;
                row.name.assign(read.name);
                row.origin = read.origin;
                row.length = read.length;
                row.used = read.used;
                row.line = line_number();
                regions.push_back(std::move(row));
            }
            continue;
        }
        if (part != ti::part::section_allocation) {
            continue;
        }
        ti::output_section output;
        ti::input_section input;
        switch (ti::read_allocation_line(line, output, input)) {
            case ti::line_kind::name_alone:
                end_section();
                pending_name.assign(output.name);
                pending_line = line_number();
                break;
            case ti::line_kind::output_section:
                end_section();
                current = open_section{};
                current.open = true;
                current.header = output;
                if (output.name.empty()) {
                    current.name = pending_name;
                    current.line = pending_line;
                } else {
                    current.name.assign(output.name);
                    current.line = line_number();
                }
                pending_name.clear();
                break;
            case ti::line_kind::input_section: {
                if (!current.open) {
                    count_damaged("an input section after its output section");
                    break;
                }
                current.any_input = true;
                current.inputs += input.length;
                if (!input.library.empty()) {
                    current.library.assign(input.library);
                } else if (!input.same_library) {
                    current.library.clear();
                }
                std::uint32_t origin = no_origin;
                if (!input.object.empty() && input.length > 0) {
                    if (current.library.empty() || (!input.same_library && input.library.empty())) {
                        origin = origins.index_of(input.object);
                    } else {
                        assign_origin_name(file, current.library, input.object);
                        origin = origins.index_of(file);
                    }
                }
                add_placed(current.header, input.section, input.address, input.length, origin);
                break;
            }
            case ti::line_kind::other:
                if (!trimmed(line).empty() && current.open) {
                    count_damaged(
                        "a line of the section allocation map (an output section, or an input "
                        "section: address, length, object and section)");
                }
                break;
        }
    }
    end_section();
    close();

    for (const region_row& region : regions) {
        if (region.added != region.used) {
            count_damaged_at(region.line,
                             vendor::joined({"a region whose used bytes the sections in it add "
                                             "up to (",
                                             region.name, ": ", std::to_string(region.used),
                                             " bytes used, the sections give ",
                                             std::to_string(region.added), ")"}));
        }
    }
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_format_evidence> c_map_file_ti::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            const std::string_view text = trimmed(line);
            return text.starts_with("TI ARM Linker") || text.starts_with("TI ARM Clang Linker") ||
                   text.starts_with("MSP430 Linker") ||
                   ti::part_of_heading(line) == ti::part::section_allocation;
        });
}

}  // namespace tarvel
