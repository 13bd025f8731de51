#include "mapfile/map_file_gnu.h"

#include <optional>

#include "mapfile/gnu_map_line.h"
#include "mapfile/gnu_memory_regions.h"
#include "mapfile/gnu_output_section.h"
#include "mapfile/gnu_section_rules.h"
#include "mapfile/origin_table.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
constexpr std::uint64_t address_space = std::uint64_t{1} << 32;

// The keywords of ld's data statements, which a map lists as indented values.
bool is_data_statement(std::string_view keyword) {
    return keyword == "BYTE" || keyword == "SHORT" || keyword == "LONG" || keyword == "QUAD" ||
           keyword == "SQUAD";
}

gnu::section_piece make_piece(std::string_view name, const gnu::address_size& values,
                              std::string_view file, bool has_contents) {
    gnu::section_piece piece;
    piece.name.assign(name);
    piece.address = values.address;
    piece.size = values.size;
    piece.file.assign(file);
    piece.has_contents = has_contents;
    return piece;
}

// Reads the memory map part line by line into output sections, each handed to `finish` once
// its last line has been read. A section or input section name that stands alone takes its
// values from the next line.
template <typename Finish>
class c_memory_map_reader {
  public:
    explicit c_memory_map_reader(Finish finish) : finish_(std::move(finish)) {}

    void take(std::string_view line) {
        const gnu::map_line parsed = gnu::classify(line);
        const bool continues = parsed.kind == gnu::line_kind::values;
        if (pending_output_) {
            std::string name = std::move(*pending_output_);
            pending_output_.reset();
            begin_output(std::move(name), continues ? &parsed.values : nullptr);
            if (continues) {
                return;
            }
        }
        if (pending_input_) {
            const std::string name = std::move(*pending_input_);
            pending_input_.reset();
            if (continues) {
                add_input(name, parsed.values);
                return;
            }
        }
        switch (parsed.kind) {
            case gnu::line_kind::output_section:
                if (parsed.has_values) {
                    begin_output(std::string(parsed.name), &parsed.values);
                } else {
                    pending_output_.emplace(parsed.name);
                }
                break;
            case gnu::line_kind::input_section:
                if (parsed.has_values) {
                    add_input(parsed.name, parsed.values);
                } else {
                    pending_input_.emplace(parsed.name);
                }
                break;
            case gnu::line_kind::values:
                add_data_statement(parsed.values);
                break;
            case gnu::line_kind::other:
                break;
        }
    }

    // Ends the section being read at the end of the map.
    void finish() {
        if (pending_output_) {
            std::string name = std::move(*pending_output_);
            pending_output_.reset();
            begin_output(std::move(name), nullptr);
        }
        end_current();
    }

  private:
    void end_current() {
        if (current_) {
            finish_(*current_);
            current_.reset();
        }
    }

    void begin_output(std::string name, const gnu::address_size* values) {
        end_current();
        // Constructed apart and moved in: GCC 12 takes an emplace right after the reset in
        // end_current for the destruction of a section that may be uninitialised.
        gnu::output_section section;
        section.name = std::move(name);
        current_ = std::move(section);
        if (values != nullptr) {
            current_->has_values = true;
            current_->address = values->address;
            current_->size = values->size;
            current_->has_load_address =
                gnu::read_load_address(values->rest, current_->load_address);
        }
    }

    void add_input(std::string_view name, const gnu::address_size& values) {
        if (!current_) {
            return;  // input sections before any output section belong to none
        }
        const std::string_view file = name == "*fill*" ? std::string_view() : values.rest;
        current_->pieces.push_back(
            make_piece(name, values, file, !gnu::input_without_contents(name)));
    }

    // "0x08000000 0x4 LONG 0x20005000": bytes that the script itself puts into the section.
    void add_data_statement(const gnu::address_size& values) {
        std::size_t pos = 0;
        const std::string_view keyword = next_token(values.rest, pos);
        if (current_ && is_data_statement(keyword)) {
            current_->pieces.push_back(make_piece(keyword, values, {}, true));
        }
    }

    Finish finish_;
    std::optional<gnu::output_section> current_;
    std::optional<std::string> pending_output_;
    std::optional<std::string> pending_input_;
};
}  // namespace

bool c_map_file_gnu::define_areas(c_memory_def& def) {
    if (!is_open_) {
        return false;
    }
    keep_copy_unless_regular_file();
    std::vector<mem_area> program;
    std::vector<mem_area> memory;
    std::vector<std::string> program_names;
    std::vector<std::string> memory_names;
    bool in_table = false;
    bool found = false;
    std::string_view line;
    while (next_line(line)) {
        const gnu::heading heading = gnu::heading_of(line);
        if (heading == gnu::heading::memory_configuration) {
            in_table = true;
            found = true;
            continue;
        }
        if (heading != gnu::heading::none) {
            if (in_table) {
                break;  // the table ends where the next part begins
            }
            continue;
        }
        gnu::memory_region region;
        if (in_table && gnu::read_region_line(line, region)) {
            const mem_area area{region.origin, region.length, no_area};
            (region.writable ? memory : program).push_back(area);
            (region.writable ? memory_names : program_names).push_back(std::move(region.name));
        }
    }
    if (!reopen() || !found) {
        return false;
    }
    def.program = std::move(program);
    def.memory = std::move(memory);
    def.program_names = std::move(program_names);
    def.memory_names = std::move(memory_names);
    return true;
}

bool c_map_file_gnu::parse(const c_memory_def& def, c_entry_list& program_entries,
                           c_entry_list& memory_entries) {
    if (!is_open_) {
        return false;
    }
    origins_.clear();
    c_origin_table origins(origins_);
    const auto count_section = [&](const gnu::output_section& section) {
        const char* rule = gnu::not_in_target_rule(section.name, section.address);
        if (rule != nullptr) {
            // A never loaded section counts as one entry per piece, or as one when the map
            // lists none (ld leaves out the pieces of some merged sections).
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
            entry.size = static_cast<std::uint32_t>(piece.size);
            // Only files with bytes in target memory become origins.
            entry.origin = entry.size > 0 ? origins.index_of(piece.file) : no_origin;
            place_entry(std::move(entry), def, program_entries, memory_entries);
        }
    };
    c_memory_map_reader reader(count_section);

    // Before the memory map come the archive members, the common symbols, the discarded input
    // sections (listed like placed ones, at address 0) and the memory regions: none is an
    // entry. A cross reference table after it ends the map.
    bool in_memory_map = false;
    std::string_view line;
    while (next_line(line)) {
        const gnu::heading heading = gnu::heading_of(line);
        if (heading == gnu::heading::memory_map) {
            in_memory_map = true;
            continue;
        }
        if (heading == gnu::heading::cross_reference) {
            break;
        }
        if (heading != gnu::heading::none) {
            in_memory_map = false;
            continue;
        }
        if (!in_memory_map) {
            continue;
        }
        reader.take(line);
    }
    reader.finish();
    close();
    return !program_entries.empty() || !memory_entries.empty();
}

std::unique_ptr<c_format_evidence> c_map_file_gnu::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            const gnu::heading heading = gnu::heading_of(line);
            return heading == gnu::heading::memory_configuration ||
                   heading == gnu::heading::memory_map;
        });
}

}  // namespace tarvel
