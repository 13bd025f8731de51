#include "mapfile/map_file_iar.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "mapfile/iar_map_line.h"
#include "mapfile/origin_table.h"
#include "mapfile/vendor_map_text.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
bool is_read_only(iar::kind what) {
    return what == iar::kind::ro_code || what == iar::kind::ro_data;
}

bool is_library(std::string_view path) {
    const auto ends = [path](std::string_view suffix) {
        if (path.size() < suffix.size()) {
            return false;
        }
        const std::string_view tail = path.substr(path.size() - suffix.size());
        for (std::size_t i = 0; i < tail.size(); ++i) {
            if ((tail[i] | 0x20) != (suffix[i] | 0x20)) {
                return false;
            }
        }
        return true;
    };
    return ends(".a") || ends(".lib");
}

// The part of a placement whose rows are being read.
struct open_part {
    bool open = false;
    std::string label;
    std::uint64_t header_line = 0;
    std::uint32_t size = 0;
    std::uint64_t rows = 0;  // what its rows add up to
    bool first = true;
    std::uint32_t start = 0;  // the address of its first row
    std::uint64_t end = 0;    // where its last row ends
    bool read_only = true;    // the kind of its first row
};

// The "Gaps:" row of the module summary: the bytes between the sections, all columns.
bool read_gaps(std::string_view line, std::uint64_t& bytes) {
    const std::string_view text = trimmed(line);
    if (!text.starts_with("Gaps:")) {
        return false;
    }
    bytes = 0;
    std::size_t pos = 5;
    for (std::string_view token = next_token(text, pos); !token.empty();
         token = next_token(text, pos)) {
        std::uint64_t value = 0;
        if (!vendor::read_decimal(token, value)) {
            return false;
        }
        bytes += value;
    }
    return true;
}
}  // namespace

bool c_map_file_iar::define_areas(c_memory_def& def) {
    if (!is_open_) {
        return false;
    }
    keep_copy_unless_regular_file();
    std::vector<mem_area> program;
    std::vector<mem_area> memory;
    std::vector<std::string> program_names;
    std::vector<std::string> memory_names;
    bool found = false;
    bool in_summary = false;
    std::string statement;
    std::string_view line;
    while (next_line(line)) {
        const iar::part title = iar::part_of_title(line);
        if (title != iar::part::none) {
            if (in_summary) {
                break;
            }
            in_summary = title == iar::part::placement_summary;
            found = found || in_summary;
            continue;
        }
        if (!in_summary) {
            continue;
        }
        if (iar::is_section_heading(line)) {
            break;  // the statements are over
        }
        // A statement begins at its first word; the title's closing "***" and blank lines
        // before it are none of it.
        const std::string_view text = trimmed(line);
        if (statement.empty() && (text.empty() || text.starts_with("*"))) {
            continue;
        }
        statement.append(text).push_back(' ');
        if (!iar::ends_statement(line)) {
            continue;
        }
        iar::placement placed;
        if (iar::read_placement(statement, placed)) {
            for (std::size_t i = 0; i < placed.ranges.size(); ++i) {
                const mem_area area{placed.ranges[i].from,
                                    static_cast<std::uint32_t>(placed.ranges[i].size > 0xFFFFFFFFu
                                                                   ? 0xFFFFFFFFu
                                                                   : placed.ranges[i].size),
                                    no_area};
                bool known = false;
                for (const mem_area& other : program) {
                    known = known || (other.start == area.start && other.size == area.size);
                }
                for (const mem_area& other : memory) {
                    known = known || (other.start == area.start && other.size == area.size);
                }
                if (known) {
                    continue;
                }
                std::string name(placed.label);
                if (i > 0) {
                    name.push_back('.');
                    name.append(std::to_string(i + 1));
                }
                (placed.writable ? memory : program).push_back(area);
                (placed.writable ? memory_names : program_names).push_back(std::move(name));
            }
        }
        statement.clear();
    }
    if (!reopen() || !found || (program.empty() && memory.empty())) {
        return false;
    }
    def.program = std::move(program);
    def.memory = std::move(memory);
    def.program_names = std::move(program_names);
    def.memory_names = std::move(memory_names);
    return true;
}

c_result<parsed_map> c_map_file_iar::parse(const c_memory_def& def, c_entry_list& program_entries,
                                           c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    origins_.clear();
    c_origin_table origins(origins_);
    // The objects as the section list names them ("main.o [1]"): their legend entries come at
    // the end of the map, so the origins are completed then.
    struct pending_origin {
        std::uint32_t index = no_origin;
        std::uint32_t legend = 0;
    };
    std::vector<pending_origin> legend_of;
    std::map<std::uint32_t, std::string> legend;
    std::uint64_t read_only = 0;
    std::uint64_t read_write = 0;
    std::uint64_t gaps = 0;  // the parts' bytes that no row holds
    std::uint64_t stated_gaps = 0;
    std::uint64_t grand_total_line = 0;

    const auto add = [&](std::string_view name, std::uint32_t address, std::uint32_t size,
                         std::uint32_t origin) {
        add_entry(name, address, size, origin, def, program_entries, memory_entries);
    };
    open_part current;
    const auto end_part = [&]() {
        if (!current.open) {
            return;
        }
        current.open = false;
        if (current.rows > current.size) {
            count_damaged_at(
                current.header_line,
                vendor::joined({"a part header whose size holds its sections (", current.label,
                                ": ", std::to_string(current.size), " bytes, its sections ",
                                std::to_string(current.rows), ")"}));
            return;
        }
        const auto rest = static_cast<std::uint32_t>(current.size - current.rows);
        if (rest > 0 && !current.first) {
            gaps += rest;
            (current.read_only ? read_only : read_write) += rest;
            add(current.label, current.start + (current.size - rest), rest, no_origin);
        }
    };

    iar::part part = iar::part::none;
    bool in_list = false;
    std::string pending_name;
    std::uint64_t totals[4] = {};
    bool stated[4] = {};
    std::uint64_t absolute = 0;
    std::uint64_t last_total_line = 0;
    std::string_view line;
    while (next_line(line)) {
        if (const iar::part title = iar::part_of_title(line); title != iar::part::none) {
            end_part();
            part = title;
            in_list = false;
            continue;
        }
        std::uint32_t number = 0;
        std::string_view path;
        if (iar::read_legend(line, number, path)) {
            legend[number] = std::string(path);
            continue;
        }
        iar::total_kind what{};
        std::uint64_t bytes = 0;
        std::uint64_t plus = 0;
        if (iar::read_closing_total(line, what, bytes, plus)) {
            totals[static_cast<int>(what)] = bytes;
            stated[static_cast<int>(what)] = true;
            absolute += plus;
            last_total_line = line_number();
            continue;
        }
        if (part == iar::part::module_summary) {
            std::uint64_t bytes_of_gaps = 0;
            if (read_gaps(line, bytes_of_gaps)) {
                stated_gaps += bytes_of_gaps;
            } else if (trimmed(line).starts_with("Grand Total:")) {
                grand_total_line = line_number();
            }
            continue;
        }
        if (part != iar::part::placement_summary) {
            continue;
        }
        if (!in_list) {
            in_list = iar::is_section_heading(line);
            continue;
        }
        const std::string_view text = trimmed(line);
        if (text.empty() || text.find_first_not_of("- ") == std::string_view::npos ||
            iar::is_section_heading(line)) {
            continue;
        }
        if (text.starts_with("Unused ranges")) {
            end_part();
            in_list = false;
            continue;
        }
        std::string_view label;
        std::uint32_t size = 0;
        if (iar::read_part_header(line, label, size)) {
            end_part();
            current = open_part{};
            current.open = true;
            current.label.assign(label);
            current.header_line = line_number();
            current.size = size;
            continue;
        }
        if (iar::is_part_end(line)) {
            end_part();
            continue;
        }
        iar::section_row row;
        switch (iar::read_section_row(line, row)) {
            case iar::row_kind::section: {
                const std::string_view name =
                    row.name.empty() ? std::string_view(pending_name) : row.name;
                std::uint32_t origin = no_origin;
                std::string_view object;
                std::uint32_t number_of = 0;
                if (row.size > 0 && iar::split_object(row.object, object, number_of)) {
                    const std::size_t known = origins_.size();
                    origin = origins.index_of(row.object);
                    if (origins_.size() > known) {
                        legend_of.push_back({origin, number_of});
                    }
                }
                (is_read_only(row.what) ? read_only : read_write) += row.size;
                if (current.open) {
                    if (current.first) {
                        current.first = false;
                        current.start = row.address;
                        current.read_only = is_read_only(row.what);
                    } else if (row.size > 0 && row.address < current.end) {
                        count_damaged("a row that begins where the row before it ends or later");
                    }
                    current.rows += row.size;
                    current.end = std::max(current.end, std::uint64_t{row.address} + row.size);
                }
                add(name, row.address, row.size, origin);
                pending_name.clear();
                break;
            }
            case iar::row_kind::container:
                break;
            case iar::row_kind::name_alone:
                pending_name.assign(row.name);
                break;
            case iar::row_kind::none:
                count_damaged("a row of the section list (section, kind, address, size, object)");
                break;
        }
    }
    end_part();
    close();

    // The origins as the file legend names them: a member of a library, or an object file.
    for (const pending_origin& pending : legend_of) {
        entry_origin& origin = origins_[pending.index];
        std::string_view name;
        std::uint32_t number = 0;
        const std::string raw = origin.object;
        if (!iar::split_object(raw, name, number)) {
            continue;
        }
        origin.object.assign(name);
        const auto it = legend.find(pending.legend);
        if (it != legend.end() && is_library(it->second)) {
            origin.archive = it->second;
        }
    }

    // The closing totals: read-only code and data together, read-write code and data
    // together (the map's own split of the gaps between code and data is not shown per row).
    const std::uint64_t stated_read_only = totals[0] + totals[1];
    const std::uint64_t stated_read_write = totals[2] + totals[3];
    if ((stated[0] || stated[1]) && stated_read_only != read_only) {
        count_damaged_at(
            last_total_line,
            vendor::joined({"closing totals that the section list adds up to "
                            "(read-only ",
                            std::to_string(stated_read_only), " bytes, the sections give ",
                            std::to_string(read_only), ")"}));
    }
    if ((stated[2] || stated[3]) && stated_read_write != read_write &&
        stated_read_write + absolute != read_write) {
        count_damaged_at(
            last_total_line,
            vendor::joined({"closing totals that the section list adds up to "
                            "(read-write ",
                            std::to_string(stated_read_write), " bytes, the sections give ",
                            std::to_string(read_write), ")"}));
    }
    // The module summary states the gaps: a row lost from the section list would have added
    // its bytes to them unseen.
    if (grand_total_line != 0 && stated_gaps != gaps) {
        count_damaged_at(grand_total_line,
                         vendor::joined({"a module summary whose gaps are those of the section "
                                         "list (Gaps ",
                                         std::to_string(stated_gaps), " bytes, the section list ",
                                         std::to_string(gaps), ")"}));
    }
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_format_evidence> c_map_file_iar::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            return line.find("IAR ELF Linker") != std::string_view::npos ||
                   iar::part_of_title(line) == iar::part::placement_summary;
        });
}

}  // namespace tarvel
