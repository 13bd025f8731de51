#include "mapfile/map_file_gnu.h"

#include <algorithm>
#include <optional>

#include "mapfile/gnu_address_coverage.h"
#include "mapfile/gnu_elf_witness.h"
#include "mapfile/gnu_load_images.h"
#include "mapfile/gnu_map_line.h"
#include "mapfile/gnu_memory_regions.h"
#include "mapfile/gnu_output_section.h"
#include "mapfile/gnu_section_rules.h"
#include "mapfile/name_arena.h"
#include "mapfile/origin_table.h"
#include "platform/background_task.h"
#include "text/text_tokens.h"

namespace tarvel {

namespace {
// The keywords of ld's data statements, which a map lists as indented values.
bool is_data_statement(std::string_view keyword) {
    return keyword == "BYTE" || keyword == "SHORT" || keyword == "LONG" || keyword == "QUAD" ||
           keyword == "SQUAD";
}

// A piece whose names are copied into `names`, which the section's reader keeps until the
// section has been counted.
gnu::section_piece make_piece(c_name_arena& names, std::string_view name,
                              const gnu::address_size& values, std::string_view file,
                              bool has_contents) {
    gnu::section_piece piece;
    piece.name = names.store(name);
    piece.address = values.address;
    piece.size = values.size;
    piece.file = names.store(file);
    piece.has_contents = has_contents;
    return piece;
}

// Reads the memory map part line by line into output sections. A section or input section name
// that stands alone takes its values from the next line.
//
// `Handler` decides per section, once its first line has been read, whether to hold all of its
// pieces until it ends (`stream` false: `finish` gets the section with every piece) or to take
// them as they can be counted (`stream` true): `take_pieces` then gets the section holding the
// pieces read since the last call, each of which ends where the next piece of nonzero size
// begins (null: the section ended), and `finish` follows the last call. A streamed section
// holds no more than one piece with bytes and the empty ones after it, however long it is.
template <typename Handler>
class c_memory_map_reader {
  public:
    // Without `keep_names`, a section keeps no more than two nameless pieces of size 1, one
    // with contents and one without, each there when one of its pieces with bytes is so: for
    // a look at what the sections hold, which asks no more than that.
    explicit c_memory_map_reader(Handler& handler, bool keep_names = true)
        : handler_(handler), keep_names_(keep_names) {}

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
        if (has_pending_input_) {
            has_pending_input_ = false;
            if (continues) {
                add_input(pending_input_, parsed.values);
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
                    pending_input_.assign(parsed.name);
                    has_pending_input_ = true;
                }
                break;
            case gnu::line_kind::values:
                add_data_statement(parsed.values);
                break;
            case gnu::line_kind::other:
                break;
        }
    }

    // The section being read, if any: its pieces are not all counted until `finish`.
    const gnu::output_section* current() const { return current_ ? &*current_ : nullptr; }

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
            if (streaming_) {
                handler_.take_pieces(*current_, nullptr);
            }
            handler_.finish(*current_);
            current_.reset();
        }
    }

    void begin_output(std::string name, const gnu::address_size* values) {
        end_current();
        piece_names_ = c_name_arena();
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
        streaming_ = keep_names_ && handler_.stream(*current_);
    }

    void add_input(std::string_view name, const gnu::address_size& values) {
        if (!current_) {
            return;  // input sections before any output section belong to none
        }
        const std::string_view file = name == "*fill*" ? std::string_view() : values.rest;
        const bool has_contents = !gnu::input_without_contents(name);
        if (keep_names_) {
            add_piece(name, values, file, has_contents);
            return;
        }
        const auto same_kind = [has_contents](const gnu::section_piece& piece) {
            return piece.has_contents == has_contents;
        };
        if (values.size > 0 &&
            std::none_of(current_->pieces.begin(), current_->pieces.end(), same_kind)) {
            current_->pieces.push_back(
                make_piece(piece_names_, {}, {values.address, 1, {}}, {}, has_contents));
        }
    }

    // "0x08000000 0x4 LONG 0x20005000": bytes that the script itself puts into the section.
    void add_data_statement(const gnu::address_size& values) {
        std::size_t pos = 0;
        const std::string_view keyword = next_token(values.rest, pos);
        if (current_ && is_data_statement(keyword)) {
            add_piece(keyword, values, {}, true);
        }
    }

    // A piece with bytes tells where the pieces before it end: a streamed section hands those
    // on and forgets their names.
    void add_piece(std::string_view name, const gnu::address_size& values, std::string_view file,
                   bool has_contents) {
        if (streaming_ && values.size > 0 && !current_->pieces.empty()) {
            handler_.take_pieces(*current_, &values.address);
            current_->pieces.clear();
            piece_names_.clear();
        }
        current_->pieces.push_back(make_piece(piece_names_, name, values, file, has_contents));
    }

    Handler& handler_;
    bool keep_names_ = true;
    bool streaming_ = false;  // current_'s pieces go to the handler as they are counted
    std::optional<gnu::output_section> current_;
    c_name_arena piece_names_;  // the names of current_'s pieces
    std::optional<std::string> pending_output_;
    // An input section name alone on its line (most are, in a build with -ffunction-sections),
    // kept in one string whose room serves them all.
    std::string pending_input_;
    bool has_pending_input_ = false;
};
}  // namespace

namespace {
// Where a section (or its load image) goes: the area its first byte lies in.
struct area_place {
    bool found = false;
    bool in_program = false;
    std::uint32_t index = 0;  // in the program areas, or counted on from the first RAM area
};

bool holds(const mem_area& area, std::uint64_t address) {
    return address >= area.start && address - area.start < area.size;
}

area_place area_at(const c_memory_def& def, std::uint64_t address) {
    for (std::size_t i = 0; i < def.program.size(); ++i) {
        if (holds(def.program[i], address)) {
            return {true, true, static_cast<std::uint32_t>(i)};
        }
    }
    std::size_t index = 0;
    for (const auto* areas : {&def.memory, &def.eeprom, &def.other}) {
        for (const mem_area& area : *areas) {
            if (holds(area, address)) {
                return {true, false, static_cast<std::uint32_t>(index)};
            }
            ++index;
        }
    }
    return {};
}

const mem_area& area_of(const c_memory_def& def, const area_place& place) {
    if (place.in_program) {
        return def.program[place.index];
    }
    std::size_t index = place.index;
    for (const auto* areas : {&def.memory, &def.eeprom}) {
        if (index < areas->size()) {
            return (*areas)[index];
        }
        index -= areas->size();
    }
    return def.other[index];
}

// How far the sections placed in each area reach, to tell where a section that starts in no
// area belongs: ld puts the sections of a region one after the other, so once one has run
// past the region's end, the next ones of that region start beyond it too. Such a section
// (starting where the sections of an over-full area end, give or take an alignment) counts
// in that area; the map does not name a section's region, but a link that overflows shows
// only so.
class c_area_reach {
  public:
    void note(const area_place& place, std::uint64_t end) {
        for (reach& r : reaches_) {
            if (r.place.in_program == place.in_program && r.place.index == place.index) {
                r.end = std::max(r.end, end);
                return;
            }
        }
        reaches_.push_back({place, end});
    }

    area_place overrun_at(const c_memory_def& def, std::uint64_t address) const {
        constexpr std::uint64_t alignment_gap = 0x1000;
        for (const reach& r : reaches_) {
            const mem_area& area = area_of(def, r.place);
            const std::uint64_t area_end = std::uint64_t{area.start} + area.size;
            // Past the area's end and not beyond where its sections reach, give or take an
            // alignment: an empty section aligned after an overflowing ".text" reaches past
            // where the load image of ".data" then starts, right after the ".text".
            if (r.end >= area_end && address >= area_end &&
                (address < r.end || address - r.end <= alignment_gap)) {
                return r.place;
            }
        }
        return {};
    }

  private:
    struct reach {
        area_place place;
        std::uint64_t end = 0;
    };
    std::vector<reach> reaches_;
};

// Whether the section holds writable data at its run address: by its name, by a load image
// (initial values copied into it), or by pieces that are all zero data.
bool runs_as_ram_data(const gnu::output_section& section) {
    if (gnu::output_is_ram_data(section.name) || gnu::has_load_image(section)) {
        return true;
    }
    bool any = false;
    for (const gnu::section_piece& piece : section.pieces) {
        if (piece.size > 0) {
            if (piece.has_contents) {
                return false;
            }
            any = true;
        }
    }
    return any;
}

std::uint64_t start_of(const gnu::output_section& section) {
    if (section.has_values || section.pieces.empty()) {
        return section.address;
    }
    return section.pieces.front().address;
}

// A section that counts somewhere: neither never loaded nor without room, and with bytes.
bool takes_room(const gnu::output_section& section) {
    return section.has_values && section.size > 0 &&
           gnu::not_in_target_rule(section.name, section.address) == nullptr &&
           !gnu::section_without_room(section.name);
}

void append_areas(std::vector<mem_area>& areas, std::vector<std::string>& names,
                  const gnu::memory_region& region) {
    areas.push_back({region.origin, region.length, no_area});
    names.push_back(region.name);
}
}  // namespace

bool c_map_file_gnu::define_areas(c_memory_def& def) {
    if (!is_open_) {
        return false;
    }
    keep_copy_unless_regular_file();
    std::vector<gnu::memory_region> regions;
    std::vector<gnu::region_contents> contents;
    const auto note_contents = [&](const gnu::output_section& section) {
        if (!takes_room(section)) {
            return;
        }
        const bool ram_data = runs_as_ram_data(section);
        for (std::size_t i = 0; i < regions.size(); ++i) {
            const mem_area area{regions[i].origin, regions[i].length, no_area};
            if (holds(area, section.address)) {
                (ram_data ? contents[i].ram_data : contents[i].program) = true;
            }
            if (gnu::has_load_image(section) && holds(area, section.load_address)) {
                contents[i].program = true;
            }
        }
    };
    // Holds every section (of nameless pieces): what a section holds is known at its end.
    struct holding_handler {
        decltype(note_contents)& note;
        bool stream(gnu::output_section&) { return false; }
        void take_pieces(gnu::output_section&, const std::uint64_t*) {}
        void finish(gnu::output_section& section) { note(section); }
    } handler{note_contents};
    c_memory_map_reader reader(handler, false);
    const auto needs_contents = [](const gnu::memory_region& region) {
        const gnu::kind_source source = gnu::decide_kind(region, {}).source;
        return source != gnu::kind_source::attributes &&
               source != gnu::kind_source::known_region_name;
    };
    bool in_table = false;
    bool in_memory_map = false;
    bool found = false;
    std::string_view line;
    while (next_line(line)) {
        const gnu::heading heading = gnu::heading_of(line);
        if (heading == gnu::heading::cross_reference) {
            break;
        }
        if (heading != gnu::heading::none) {
            in_table = heading == gnu::heading::memory_configuration;
            in_memory_map = heading == gnu::heading::memory_map;
            found = found || in_table;
            // What the sections hold matters only for regions that neither their names nor
            // their attribute letters decide: without such, the memory map is not read here.
            if (in_memory_map && !std::any_of(regions.begin(), regions.end(), needs_contents)) {
                break;
            }
            continue;
        }
        gnu::memory_region region;
        if (in_table && gnu::read_region_line(line, region)) {
            regions.push_back(std::move(region));
            contents.emplace_back();
        } else if (in_memory_map) {
            reader.take(line);
        }
    }
    reader.finish();
    if (!reopen() || !found) {
        return false;
    }
    def = c_memory_def();
    if (regions.empty()) {
        // Linked with ld's default script: no region to compare with, but the map holds the
        // whole program. Program memory and RAM each gather in an area of size 0.
        def.without_regions = true;
        def.program = {{0, 0, no_area}};
        def.memory = {{0, 0, no_area}};
        def.program_names = {"program memory"};
        def.memory_names = {"RAM"};
        def.kind_sources = {"contents", "contents"};
        return true;
    }
    const std::vector<std::size_t> became = gnu::merge_same_regions(regions);
    std::vector<gnu::region_contents> merged(regions.size());
    for (std::size_t i = 0; i < became.size(); ++i) {
        merged[became[i]].ram_data = merged[became[i]].ram_data || contents[i].ram_data;
        merged[became[i]].program = merged[became[i]].program || contents[i].program;
    }
    std::vector<std::string> sources[4];
    for (std::size_t i = 0; i < regions.size(); ++i) {
        const gnu::region_decision decision = gnu::decide_kind(regions[i], merged[i]);
        switch (decision.kind) {
            case gnu::region_kind::program:
                append_areas(def.program, def.program_names, regions[i]);
                break;
            case gnu::region_kind::ram:
                append_areas(def.memory, def.memory_names, regions[i]);
                break;
            case gnu::region_kind::eeprom:
                append_areas(def.eeprom, def.eeprom_names, regions[i]);
                break;
            case gnu::region_kind::other:
                append_areas(def.other, def.other_names, regions[i]);
                break;
        }
        sources[static_cast<int>(decision.kind)].emplace_back(
            gnu::kind_source_name(decision.source));
    }
    for (auto& kind : sources) {
        for (std::string& source : kind) {
            def.kind_sources.push_back(std::move(source));
        }
    }
    return true;
}

// What a part of the map read on one thread leaves that decides whether a later part, read
// beside it from a fresh start, gave what one reader would have.
struct c_map_file_gnu::part_state {
    gnu::c_address_coverage coverage;
    bool consulted_reach = false;  // a section went where earlier ones reached past an area
};

struct c_map_file_gnu::later_part {
    explicit later_part(const text_source& source) : reader(source) {}

    c_map_file_gnu reader;
    c_entry_list program;
    c_entry_list memory;
    c_origin_table origins{reader.origins_};  // the reader's own, which the merge reads
    part_state state;
    std::optional<gnu::c_elf_witness> witness;  // the later part's, with --elf
    platform::c_background_task task;
};

c_result<parsed_map> c_map_file_gnu::parse(const c_memory_def& def, c_entry_list& program_entries,
                                           c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    origins_.clear();
    c_origin_table origins(origins_);
    part_state state;
    const std::unique_ptr<later_part> later = start_later_part(def, program_entries);
    read_part(def, program_entries, memory_entries, origins, state, false, later.get());
    if (later) {
        later->task.wait();  // also where the later part's work is dropped
    }
    close();
    return placed_in(program_entries, memory_entries);
}

std::unique_ptr<c_map_file_gnu::later_part> c_map_file_gnu::start_later_part(
    const c_memory_def& def, const c_entry_list& program_entries) {
    // Without regions a section is held to its end, where the ELF file's word on it is taken:
    // the part that reads on would take it after the later part had.
    const std::uint64_t from =
        elf_witness_ == nullptr || !def.without_regions ? split_search_start() : 0;
    if (from == 0) {
        return nullptr;
    }
    // The later part begins at an output section with its values on its line, in column 1:
    // the sections before it end there, whatever they were.
    auto later = std::make_unique<later_part>(source());
    const auto begins_part = [](std::string_view line) {
        if (gnu::heading_of(line) != gnu::heading::none) {
            return false;
        }
        const gnu::map_line parsed = gnu::classify(line);
        return parsed.kind == gnu::line_kind::output_section && parsed.has_values;
    };
    if (!split_at_first(later->reader, from, begins_part)) {
        return nullptr;
    }
    if (!program_entries.keeps_entries()) {
        later->program.keep_sums_only();
        later->memory.keep_sums_only();
    }
    if (elf_witness_ != nullptr) {
        later->witness.emplace(elf_witness_->fresh_copy());
        later->reader.set_elf_witness(&*later->witness);
    }
    later_part* part = later.get();
    part->task.start([part, &def] {
        part->reader.read_part(def, part->program, part->memory, part->origins, part->state, true,
                               nullptr);
    });
    return later;
}

void c_map_file_gnu::read_part(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries, c_origin_table& origins,
                               part_state& state, bool in_memory_map, later_part* later) {
    gnu::c_address_coverage& coverage = state.coverage;
    c_area_reach reach;
    // Each piece becomes an entry of the area at `place`, or an unplaced one.
    const auto add_piece = [&](const gnu::section_piece& piece, const area_place& place) {
        count_recognised();
        if (piece.address >= entry_address_space ||
            piece.size > entry_address_space - piece.address) {
            count_dropped("address beyond 32 bits");
            return;
        }
        const std::uint64_t counted =
            coverage.claim(piece.counted_from, piece.counted_from + piece.counted);
        c_map_entry entry;
        entry.name = piece.name;  // copied by the list or the unplaced entries
        entry.address = static_cast<std::uint32_t>(piece.address);
        entry.size = static_cast<std::uint32_t>(counted);
        entry.uncounted = static_cast<std::uint32_t>(piece.size - counted);
        // Only files with bytes in target memory become origins; a list that keeps sums only
        // folds the origin away, so it is not looked up for one.
        const bool origin_kept =
            !place.found || (place.in_program ? program_entries : memory_entries).keeps_entries();
        entry.origin = piece.size > 0 && origin_kept ? origins.index_of(piece.file) : no_origin;
        if (place.found) {
            place_at(std::move(entry), place.in_program, place.index, program_entries,
                     memory_entries);
        } else {
            keep_unplaced(std::move(entry));
        }
    };
    // A load image counts in the area its load address lies in, also past the area's end.
    gnu::c_load_image_queue held_images;
    const auto add_load_image = [&](const gnu::c_load_image_queue::image& image) {
        area_place load_place{true, true, 0};
        if (!def.without_regions) {
            load_place = area_at(def, image.start);
            if (!load_place.found) {
                state.consulted_reach = true;
                load_place = reach.overrun_at(def, image.start);
            }
            if (load_place.found) {
                reach.note(load_place, image.end);
            }
        }
        for (const gnu::section_piece& piece : image.pieces) {
            add_piece(piece, load_place);
        }
    };
    // What the ELF file says of a section and the rule that keeps it out of target memory, if
    // any: decided once per section, where it begins or, for a section held, where it ends.
    struct section_verdict {
        bool decided = false;
        const char* rule = nullptr;
    } verdict;
    const auto decide = [&](gnu::output_section& section) {
        if (verdict.decided) {
            return;
        }
        verdict.decided = true;
        const gnu::elf_verdict elf =
            elf_witness_ != nullptr ? elf_witness_->adjust(section) : gnu::elf_verdict::not_in_elf;
        verdict.rule = elf == gnu::elf_verdict::not_allocated ? "not allocated in the ELF"
                       : elf == gnu::elf_verdict::counted
                           ? nullptr
                           : gnu::not_in_target_rule(section.name, section.address);
    };
    // Every piece belongs to the area that the section starts in, also where the section runs
    // past its end: a link that overflows a region shows as an over-full area.
    const auto place_section = [&](const gnu::output_section& section) {
        if (section.has_values && (section.size > 0 || section.has_load_address)) {
            held_images.see(section.has_load_address ? section.load_address : section.address,
                            section.has_load_address, add_load_image);
        }
        area_place run_place;
        if (def.without_regions) {
            run_place = {true, !runs_as_ram_data(section), 0};
        } else {
            run_place = area_at(def, start_of(section));
            if (!run_place.found) {
                state.consulted_reach = true;
                run_place = reach.overrun_at(def, start_of(section));
            }
            if (run_place.found && section.has_values) {
                reach.note(run_place, section.address + section.size);
            }
        }
        return run_place;
    };
    // A never loaded section counts as one dropped entry per piece, or as one when the map lists
    // none (ld leaves out the pieces of some merged sections).
    const auto drop_pieces = [&](std::size_t pieces) {
        for (std::size_t i = 0; i < pieces; ++i) {
            count_recognised();
            count_dropped(verdict.rule);
        }
    };
    // A section held to its end: its load image depends on its pieces.
    const auto count_held = [&](gnu::output_section& section) {
        decide(section);
        if (verdict.rule != nullptr) {
            drop_pieces(section.pieces.empty() ? 1 : section.pieces.size());
            return;
        }
        const area_place run_place = place_section(section);
        std::vector<gnu::section_piece> pieces = gnu::counted_pieces(section);
        if (gnu::has_load_image(section)) {
            gnu::c_load_image_queue::image image =
                gnu::c_load_image_queue::take_image(section.load_address, section.size, pieces);
            // The ELF file says for certain that the image is there.
            if (section.from_elf) {
                add_load_image(image);
            } else {
                held_images.hold(std::move(image));
            }
        }
        for (const gnu::section_piece& piece : pieces) {
            add_piece(piece, run_place);
        }
    };
    // A section is counted as its pieces come (a ".text" may have a million), its load image,
    // where it may have one, gathered beside: the image is there when the ELF file says so or
    // a piece with bytes has contents; it counts after the section's own pieces (held first,
    // unless the ELF file is sure). A section without an extent of its own is held whole. The
    // state of the section streamed:
    enum class streamed { no, counted, dropped };
    struct stream_state {
        streamed mode = streamed::no;
        std::size_t pieces = 0;
        area_place run_place;
        std::optional<gnu::c_piece_counter> counter;
        std::vector<gnu::section_piece> counted;  // reused from piece to piece
        bool may_have_image = false;
        bool has_image = false;  // a piece with bytes has contents
        gnu::c_load_image_queue::image image;
    } stream;
    const auto hold_streamed_image = [&](gnu::c_load_image_queue::image image, bool certain) {
        if (certain) {
            add_load_image(image);
        } else {
            held_images.hold(std::move(image));
        }
    };
    struct counting_handler {
        decltype(decide)& decide_section;
        decltype(place_section)& place;
        decltype(drop_pieces)& drop;
        decltype(count_held)& hold;
        decltype(add_piece)& add;
        decltype(hold_streamed_image)& hold_image;
        section_verdict& verdict;
        stream_state& state;
        const c_memory_def& def;

        bool stream(gnu::output_section& section) {
            verdict = {};
            state.mode = streamed::no;
            state.pieces = 0;
            if (def.without_regions || !section.has_values) {
                return false;
            }
            decide_section(section);
            if (verdict.rule != nullptr) {
                state.mode = streamed::dropped;
                return true;
            }
            state.may_have_image =
                gnu::may_have_load_image(section) && !gnu::section_without_room(section.name);
            state.has_image = section.from_elf;
            if (state.may_have_image) {
                state.image =
                    gnu::c_load_image_queue::empty_image(section.load_address, section.size);
            }
            state.mode = streamed::counted;
            state.run_place = place(section);
            state.counter.emplace(section);
            return true;
        }
        void take_pieces(gnu::output_section& section, const std::uint64_t* next) {
            state.pieces += section.pieces.size();
            if (state.mode == streamed::dropped) {
                drop(section.pieces.size());
                return;
            }
            for (const gnu::section_piece& piece : section.pieces) {
                state.has_image = state.has_image || (piece.size > 0 && piece.has_contents);
                state.counted.clear();
                state.counter->count(piece, next, state.counted);
                add_counted(section);
            }
        }
        void finish(gnu::output_section& section) {
            switch (state.mode) {
                case streamed::no:
                    hold(section);
                    return;
                case streamed::dropped:
                    if (state.pieces == 0) {
                        drop(1);
                    }
                    return;
                case streamed::counted:
                    state.counted.clear();
                    state.counter->finish(state.counted);
                    add_counted(section);
                    state.counter.reset();
                    if (state.may_have_image && state.has_image) {
                        hold_image(std::move(state.image), section.from_elf);
                    }
                    state.image = {};
                    return;
            }
        }
        // The pieces just counted, and their copies in the load image while there may be one.
        void add_counted(const gnu::output_section& section) {
            for (const gnu::section_piece& counted : state.counted) {
                add(counted, state.run_place);
                if (state.may_have_image) {
                    gnu::section_piece copy = gnu::image_copy(section, counted);
                    copy.name = state.image.names.store(copy.name);
                    copy.file = state.image.names.store(copy.file);
                    state.image.pieces.push_back(copy);
                }
            }
        }
    } handler{decide,  place_section, drop_pieces, count_held, add_piece, hold_streamed_image,
              verdict, stream,        def};
    c_memory_map_reader reader(handler);

    // At the first line of a later part read beside this one: whether that part, read from
    // a fresh start in the memory map, gave what reading on from here gives. It does where
    // this part is in the memory map with no load image held, the section being read can make
    // none and claims no byte outside its extent, no byte the later part claimed was claimed
    // here, no section there went by how far those here reached, and the ELF file's sections
    // that the later part took are of other names than those taken here.
    const auto later_part_holds = [&] {
        const gnu::output_section* open = reader.current();
        if (!in_memory_map || !held_images.empty() || later->state.consulted_reach ||
            (open != nullptr && (!open->has_values || gnu::may_have_load_image(*open)))) {
            return false;
        }
        if (elf_witness_ != nullptr &&
            elf_witness_->shares_names_with(*later->witness,
                                            open != nullptr ? open->name : std::string())) {
            return false;
        }
        const std::uint64_t from = open != nullptr ? open->address : 0;
        const std::uint64_t to =
            open != nullptr ? from + std::min(open->size, UINT64_MAX - from) : 0;
        return !coverage.shares_bytes_with(later->state.coverage, from, to);
    };

    // Before the memory map come the archive members, the common symbols, the discarded input
    // sections (listed like placed ones, at address 0) and the memory regions: none is an
    // entry. A cross reference table after it ends the map.
    std::string_view line;
    for (;;) {
        if (!next_line(line)) {
            if (later == nullptr || !at_stop()) {
                break;
            }
            later->task.wait();
            if (later_part_holds()) {
                reader.finish();  // as the later part's first line would end the section
                take_later_part(later->reader, origins, program_entries, memory_entries,
                                later->program, later->memory);
                if (elf_witness_ != nullptr) {
                    elf_witness_->take_later(*later->witness);
                }
                return;
            }
            go_on();
            continue;
        }
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
    held_images.release_all(add_load_image);
}

std::unique_ptr<c_format_evidence> c_map_file_gnu::evidence() {
    return std::make_unique<c_line_evidence<bool (*)(std::size_t, std::string_view)>>(
        [](std::size_t, std::string_view line) {
            // Any heading of ld's own: the lists before the memory configuration (archive
            // members, common symbols, discarded input sections) run to hundreds of thousands
            // of lines in a large build linked with --gc-sections.
            const gnu::heading heading = gnu::heading_of(line);
            return heading != gnu::heading::none && heading != gnu::heading::other_preamble &&
                   heading != gnu::heading::cross_reference;
        });
}

}  // namespace tarvel
