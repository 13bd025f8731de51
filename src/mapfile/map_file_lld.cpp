#include "mapfile/map_file_lld.h"

#include <optional>

#include "mapfile/gnu_output_section.h"
#include "mapfile/gnu_section_rules.h"
#include "mapfile/lld_map_line.h"
#include "mapfile/name_arena.h"
#include "mapfile/origin_table.h"
#include "platform/background_task.h"

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

struct c_map_file_lld::later_part {
    later_part(const text_source& source, lld::columns columns) : reader(source), layout(columns) {}

    c_map_file_lld reader;
    lld::columns layout;
    c_entry_list program;
    c_entry_list memory;
    c_origin_table origins{reader.origins_};  // the reader's own, which the merge reads
    platform::c_background_task task;
};

c_result<parsed_map> c_map_file_lld::parse(const c_memory_def& def, c_entry_list& program_entries,
                                           c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    origins_.clear();
    c_origin_table origins(origins_);
    const std::unique_ptr<later_part> later = start_later_part(def, program_entries);
    read_table(def, program_entries, memory_entries, origins, lld::columns::none, later.get());
    if (later) {
        later->task.wait();  // also where the later part's work is dropped
    }
    close();
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_map_file_lld::later_part> c_map_file_lld::start_later_part(
    const c_memory_def& def, const c_entry_list& program_entries) {
    const std::uint64_t from = split_search_start();
    if (from == 0) {
        return nullptr;
    }
    // The layout of the table, from its heading near the start.
    lld::columns layout = lld::columns::none;
    std::string_view line;
    while (layout == lld::columns::none && next_line(line)) {
        layout = lld::heading_of(line);
    }
    const std::uint64_t table_begins = line_position();
    if (!start_at(0) || layout == lld::columns::none || table_begins >= from) {
        return nullptr;
    }
    // The later part begins at an output section's row: nothing of the sections before it
    // is needed to read it.
    auto later = std::make_unique<later_part>(source(), layout);
    const auto begins_part = [layout](std::string_view line) {
        lld::map_line parsed;
        return lld::read_line(line, layout, parsed) &&
               parsed.kind == lld::line_kind::output_section;
    };
    if (!split_at_first(later->reader, from, begins_part)) {
        return nullptr;
    }
    if (!program_entries.keeps_entries()) {
        later->program.keep_sums_only();
        later->memory.keep_sums_only();
    }
    later_part* part = later.get();
    part->task.start([part, &def] {
        part->reader.read_table(def, part->program, part->memory, part->origins, part->layout,
                                nullptr);
    });
    return later;
}

bool c_map_file_lld::read_table(const c_memory_def& def, c_entry_list& program_entries,
                                c_entry_list& memory_entries, c_origin_table& origins,
                                lld::columns layout, later_part* later) {
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
        // Only files with bytes in target memory become origins.
        place_entry(std::move(entry), def, program_entries, memory_entries,
                    piece.size > 0 ? origin_file{&origins, piece.file} : origin_file{});
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

    std::string_view line;
    for (;;) {
        if (!next_line(line)) {
            if (later == nullptr || !at_stop()) {
                break;
            }
            // The later part began with an output section's row, from a fresh start in the
            // same layout: what this part read until there ends as the row would end it.
            later->task.wait();
            if (layout == later->layout) {
                finish_section();
                take_later_part(later->reader, origins, program_entries, memory_entries,
                                later->program, later->memory);
                return true;
            }
            go_on();
            continue;
        }
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
    return false;
}

}  // namespace tarvel
