#include "mapfile/map_file_lld.h"

#include <optional>

#include "mapfile/gnu_output_section.h"
#include "mapfile/gnu_section_rules.h"
#include "mapfile/lld_map_line.h"
#include "mapfile/name_arena.h"
#include "mapfile/origin_table.h"

namespace tarvel {

namespace {
constexpr std::uint64_t address_space = std::uint64_t{1} << 32;

// The piece of an input section line, its names copied into `names`, which holds those of the
// output section being read.
gnu::section_piece piece_of(const lld::map_line& line, c_name_arena& names) {
    gnu::section_piece piece;
    piece.name = names.store(line.name);
    piece.address = line.address;
    piece.size = line.size;
    piece.file = names.store(line.file);
    piece.has_contents = !gnu::input_without_contents(line.name);
    return piece;
}

gnu::output_section section_of(const lld::map_line& line) {
    gnu::output_section section;
    section.name.assign(line.name);
    section.has_values = true;
    section.address = line.address;
    section.size = line.size;
    section.has_load_address = line.load_address != line.address;
    section.load_address = line.load_address;
    return section;
}
}  // namespace

const char* c_map_file_lld::not_in_target_rule(std::string_view name, std::uint64_t address) {
    // lld lists the symbol and string tables of the output file, which are never loaded.
    if (name == ".symtab" || name == ".strtab" || name == ".shstrtab" || name == ".symtab_shndx") {
        return "symbol or string table";
    }
    return gnu::not_in_target_rule(name, address);
}

std::unique_ptr<c_format_evidence> c_map_file_lld::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            return lld::heading_of(line) != lld::columns::none;
        });
}

bool c_map_file_lld::parse(const c_memory_def& def, c_entry_list& program_entries,
                           c_entry_list& memory_entries) {
    if (!is_open_) {
        return false;
    }
    origins_.clear();
    c_origin_table origins(origins_);
    const auto count_section = [&](const gnu::output_section& section) {
        const char* rule = not_in_target_rule(section.name, section.address);
        if (rule != nullptr) {
            const std::size_t pieces = section.pieces.empty() ? 1 : section.pieces.size();
            for (std::size_t i = 0; i < pieces; ++i) {
                count_recognised();
                count_dropped(rule);
            }
            return;
        }
        for (gnu::section_piece& piece : gnu::counted_pieces(section)) {
            count_recognised();
            if (piece.address >= address_space || piece.size > address_space - piece.address) {
                count_dropped("address beyond 32 bits");
                continue;
            }
            c_map_entry entry;
            entry.name = piece.name;  // copied by the list or the unplaced entries
            entry.address = static_cast<std::uint32_t>(piece.address);
            // A piece holds the bytes up to where the next one starts (see counted_pieces);
            // what the map lists beyond them is kept apart, so the entries of a section add
            // up to its size as the section header gives it.
            entry.size = static_cast<std::uint32_t>(piece.counted);
            entry.uncounted = static_cast<std::uint32_t>(piece.size - piece.counted);
            entry.origin = piece.size > 0 ? origins.index_of(piece.file) : no_origin;
            place_entry(std::move(entry), def, program_entries, memory_entries);
        }
    };

    lld::columns layout = lld::columns::none;
    std::optional<gnu::output_section> current;
    c_name_arena piece_names;  // of current's pieces, dropped with the section
    std::string_view line;
    while (next_line(line)) {
        if (layout == lld::columns::none) {
            layout = lld::heading_of(line);  // nothing before the heading is part of the table
            continue;
        }
        // Rows start with a number: a line that is none is asked what else it is.
        lld::map_line parsed;
        if (!lld::read_line(line, layout, parsed)) {
            if (lld::is_cross_reference_heading(line)) {
                break;
            }
            if (!lld::is_blank(line)) {
                count_damaged("a line of the table \"VMA LMA Size Align Out In Symbol\"");
            }
            continue;
        }
        if (parsed.kind == lld::line_kind::output_section) {
            if (current) {
                count_section(*current);
            }
            piece_names = c_name_arena();
            current = section_of(parsed);
        } else if (parsed.kind == lld::line_kind::input_section && current) {
            current->pieces.push_back(piece_of(parsed, piece_names));
        }
    }
    if (current) {
        count_section(*current);
    }
    close();
    return !program_entries.empty() || !memory_entries.empty();
}

}  // namespace tarvel
