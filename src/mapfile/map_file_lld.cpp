#include "mapfile/map_file_lld.h"

#include <optional>

#include "mapfile/gnu_output_section.h"
#include "mapfile/gnu_section_rules.h"
#include "mapfile/lld_map_line.h"
#include "mapfile/name_arena.h"
#include "mapfile/origin_table.h"

namespace tarvel {

namespace {
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

// Makes `section` the one that `line` begins, without pieces; the memory of its name and of its
// list of pieces serves the next section.
void begin_section(const lld::map_line& line, gnu::output_section& section) {
    section.pieces.clear();
    section.name.assign(line.name);
    section.has_values = true;
    section.address = line.address;
    section.size = line.size;
    section.has_load_address = line.load_address != line.address;
    section.load_address = line.load_address;
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

c_result<parsed_map> c_map_file_lld::parse(const c_memory_def& def, c_entry_list& program_entries,
                                           c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    origins_.clear();
    c_origin_table origins(origins_);
    const auto add_counted = [&](const gnu::section_piece& piece) {
        count_recognised();
        if (piece.address >= entry_address_space ||
            piece.size > entry_address_space - piece.address) {
            count_dropped("address beyond 32 bits");
            return;
        }
        c_map_entry entry;
        entry.name = piece.name;  // copied by the list or the unplaced entries
        entry.address = static_cast<std::uint32_t>(piece.address);
        // A piece holds the bytes up to where the next one starts (see counted_pieces); what
        // the map lists beyond them is kept apart, so the entries of a section add up to its
        // size as the section header gives it.
        entry.size = static_cast<std::uint32_t>(piece.counted);
        entry.uncounted = static_cast<std::uint32_t>(piece.size - piece.counted);
        entry.origin = piece.size > 0 ? origins.index_of(piece.file) : no_origin;
        place_entry(std::move(entry), def, program_entries, memory_entries);
    };
    const auto drop = [&](const char* rule, std::size_t pieces) {
        for (std::size_t i = 0; i < pieces; ++i) {
            count_recognised();
            count_dropped(rule);
        }
    };

    // The section being read. Its pieces are counted as they come, each once the next piece
    // with bytes shows where it ends (a ".text" may have hundreds of thousands); a section with
    // a load image is held whole, since its copy follows all of its pieces.
    std::optional<gnu::output_section> current;
    gnu::output_section section_memory;  // what `current` was, kept for its memory
    c_name_arena piece_names;            // of current's pieces
    std::vector<gnu::section_piece> held_counted;
    const char* rule = nullptr;  // why current counts nowhere, if it does not
    bool streamed = false;
    std::size_t pieces_seen = 0;
    std::optional<gnu::c_piece_counter> counter;
    std::vector<gnu::section_piece> counted;
    // Hands on the pieces held, which end where `next` begins (null: where the section ends).
    const auto take_pieces = [&](const std::uint64_t* next) {
        pieces_seen += current->pieces.size();
        if (rule != nullptr) {
            drop(rule, current->pieces.size());
        } else {
            for (const gnu::section_piece& piece : current->pieces) {
                counted.clear();
                counter->count(piece, next, counted);
                for (const gnu::section_piece& piece_counted : counted) {
                    add_counted(piece_counted);
                }
            }
        }
        current->pieces.clear();
        piece_names.clear();
    };
    const auto finish_section = [&] {
        if (!current) {
            return;
        }
        if (streamed) {
            take_pieces(nullptr);
            if (rule != nullptr) {
                // A never loaded section without pieces counts as one dropped entry.
                drop(rule, pieces_seen == 0 ? 1 : 0);
            } else {
                counted.clear();
                counter->finish(counted);
                for (const gnu::section_piece& piece : counted) {
                    add_counted(piece);
                }
            }
        } else {
            gnu::counted_pieces(*current, held_counted);
            for (const gnu::section_piece& piece : held_counted) {
                add_counted(piece);
            }
        }
        counter.reset();
        section_memory = std::move(*current);
        current.reset();
    };

    lld::columns layout = lld::columns::none;
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
            finish_section();
            piece_names.clear();
            begin_section(parsed, section_memory);
            current = std::move(section_memory);
            rule = not_in_target_rule(current->name, current->address);
            streamed = rule != nullptr || !gnu::may_have_load_image(*current);
            pieces_seen = 0;
            if (streamed && rule == nullptr) {
                counter.emplace(*current);
            }
        } else if (parsed.kind == lld::line_kind::input_section && current) {
            if (streamed && parsed.size > 0 && !current->pieces.empty()) {
                take_pieces(&parsed.address);
            }
            current->pieces.push_back(piece_of(parsed, piece_names));
        }
    }
    finish_section();
    close();
    return placed_in(program_entries, memory_entries);
}

}  // namespace tarvel
