#include "analysis/usage_analysis.h"

#include <memory>

#include "mapfile/create_reader.h"

namespace tarvel {

namespace {
// Areas of a definition file are named by kind and position; a map's own regions by their
// names.
void add_areas(usage_model& model, const std::vector<mem_area>& areas,
               const std::vector<std::string>& names, area_kind kind, const char* prefix) {
    for (std::size_t i = 0; i < areas.size(); ++i) {
        area_usage area;
        area.name = i < names.size() ? names[i] : prefix + std::to_string(i);
        area.kind = kind;
        area.start = areas[i].start;
        area.size = areas[i].size;
        model.areas.push_back(std::move(area));
    }
}

// Each area's list of entries is made as large as it will get first: a list that grows by
// doubling would hold up to twice its entries, and twice more while it moves.
void reserve_area_lists(usage_model& model) {
    std::vector<std::size_t> counts(model.areas.size(), 0);
    model.program_entries.for_each_unordered(
        [&](const c_map_entry& entry) { ++counts[entry.index]; });
    model.memory_entries.for_each_unordered(
        [&](const c_map_entry& entry) { ++counts[model.first_ram_area() + entry.index]; });
    for (std::size_t i = 0; i < counts.size(); ++i) {
        model.areas[i].entries.reserve(counts[i]);
    }
    model.entries.reserve(model.program_entries.size() + model.memory_entries.size());
}

void add_program_entry(usage_model& model, const c_map_entry& entry) {
    const auto area = static_cast<std::uint32_t>(entry.index);
    model.rom.used_bytes += entry.size;
    model.areas[area].used += entry.size;
}

// RAM entries, and those of the EEPROM and other areas that follow the RAM areas (which count
// in no total).
void add_memory_entry(usage_model& model, const c_map_entry& entry) {
    const auto area = static_cast<std::uint32_t>(model.first_ram_area() + entry.index);
    const bool is_bit = entry.is_bit == 1;
    if (area < model.first_eeprom_area()) {
        (is_bit ? model.ram.used_bits : model.ram.used_bytes) += entry.size;
    }
    (is_bit ? model.areas[area].bits : model.areas[area].used) += entry.size;
}

void list_entry(usage_model& model, const c_map_entry& entry, std::uint32_t area,
                std::uint32_t search) {
    model.areas[area].entries.push_back(static_cast<std::uint32_t>(model.entries.size()));
    model.entries.push_back({&entry, area, search});
}

void add_up(usage_model& model, bool list_entries) {
    const c_memory_def& def = model.definition;
    model.rom.total = c_memory_def::total_size(def.program);
    model.ram.total = c_memory_def::total_size(def.memory);
    c_search_accounting& accounting = *model.accounting;
    if (list_entries) {
        reserve_area_lists(model);
    }
    if (!list_entries && model.search_definitions.empty()) {
        // Sums do not depend on the order: the entries are read where they lie, unsorted.
        model.program_entries.for_each_unordered(
            [&model](const c_map_entry& entry) { add_program_entry(model, entry); });
    } else {
        accounting.account_all(
            model.program_entries, [&](const c_map_entry& entry, std::size_t search) {
                add_program_entry(model, entry);
                if (list_entries) {
                    list_entry(model, entry, static_cast<std::uint32_t>(entry.index),
                               search == c_search_accounting::no_search
                                   ? no_search
                                   : static_cast<std::uint32_t>(search));
                }
            });
    }
    if (list_entries) {
        for (const c_map_entry& entry : model.memory_entries) {
            add_memory_entry(model, entry);
            list_entry(model, entry,
                       static_cast<std::uint32_t>(model.first_ram_area() + entry.index), no_search);
        }
    } else {
        model.memory_entries.for_each_unordered(
            [&model](const c_map_entry& entry) { add_memory_entry(model, entry); });
    }
    std::size_t position = 0;
    for (const search_def& search : model.search_definitions) {
        model.searches.push_back({accounting.search_text(position++), search.total});
        model.accounted += search.total;
    }
}
}  // namespace

namespace {
// Reads the map with `reader` against the model's definition and adds everything up.
analysis_status read_map(c_map_file& reader, usage_model& model, const add_up_options& options);
}  // namespace

void add_up_usage(usage_model& model, const add_up_options& options) {
    const c_memory_def& def = model.definition;
    add_areas(model, def.program, def.program_names, area_kind::program, "Prg seg");
    add_areas(model, def.memory, def.memory_names, area_kind::ram, "Ram seg");
    add_areas(model, def.eeprom, def.eeprom_names, area_kind::eeprom, "Eep seg");
    add_areas(model, def.other, def.other_names, area_kind::other, "Other seg");
    for (std::size_t i = 0; i < def.kind_sources.size() && i < model.areas.size(); ++i) {
        model.areas[i].kind_source = def.kind_sources[i];
    }
    for (area_usage& area : model.areas) {
        area.shows_overflow = options.show_overflow;
    }
    model.rom.shows_overflow = options.show_overflow;
    model.ram.shows_overflow = options.show_overflow;
    model.accounting = std::make_unique<c_search_accounting>(model.search_definitions,
                                                             model.program_entries.size());
    model.accounting->send_ambiguities_to(options.ambiguity_sink);
    add_up(model, options.list_entries);
}

analysis_status analyze_usage(const analysis_request& request, usage_model& model,
                              const add_up_options& options) {
    model.input.type = request.type;
    model.input.map = request.map;
    if (request.areas != nullptr) {
        model.input.definition = request.areas_from;
        if (request.map.empty()) {
            return analysis_status::no_map_name;
        }
        model.definition = *request.areas;
        model.definition.loaded = true;
        const std::unique_ptr<c_map_file> reader =
            create_reader(request.type, text_source::file(request.map));
        if (!reader) {
            return analysis_status::unsupported_type;
        }
        reader->set_elf_witness(request.elf_witness);
        return read_map(*reader, model, options);
    }
    if (!request.use_map_areas) {
        model.input.definition = request.definition;
        if (request.definition.empty()) {
            return analysis_status::no_definition_name;
        }
    }
    if (request.map.empty()) {
        return analysis_status::no_map_name;
    }
    c_memory_def& def = model.definition;
    if (!request.use_map_areas) {
        // The programs word both failures of the definition alike: one status for both.
        def.loaded = def.load(request.definition, model.search_definitions).ok();
    }
    const std::unique_ptr<c_map_file> reader =
        create_reader(request.type, text_source::file(request.map));
    if (!reader) {
        return analysis_status::unsupported_type;
    }
    if (request.use_map_areas && reader->is_open()) {
        def.loaded = reader->define_areas(def);
        if (!def.loaded) {
            return analysis_status::no_map_areas;
        }
    }
    if (!def.loaded && !request.use_map_areas) {
        return reader->is_open() ? analysis_status::invalid_definition
                                 : analysis_status::invalid_definition_and_map;
    }
    reader->set_elf_witness(request.elf_witness);
    return read_map(*reader, model, options);
}

namespace {
analysis_status read_map(c_map_file& reader, usage_model& model, const add_up_options& options) {
    if (!options.list_entries && model.search_definitions.empty()) {
        // Nothing will read an entry but the sums: no search, and no list of entries.
        model.program_entries.keep_sums_only();
        model.memory_entries.keep_sums_only();
    }
    const c_result<parsed_map> parsed =
        reader.parse(model.definition, model.program_entries, model.memory_entries);
    if (!parsed) {
        return analysis_status::invalid_map;
    }
    model.reader = reader.counts();
    model.unplaced = reader.unplaced();
    model.origins = reader.origins();
    add_up_options with_overflow = options;
    with_overflow.show_overflow = reader.entries_may_overrun_areas();
    add_up_usage(model, with_overflow);
    return parsed->placed_any ? analysis_status::ok : analysis_status::nothing_placed;
}
}  // namespace

}  // namespace tarvel
