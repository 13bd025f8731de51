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

void add_up(usage_model& model) {
    const c_memory_def& def = model.definition;
    model.rom.total = c_memory_def::total_size(def.program);
    model.ram.total = c_memory_def::total_size(def.memory);
    model.entries.reserve(model.program_entries.size() + model.memory_entries.size());
    c_search_accounting& accounting = *model.accounting;
    for (const c_map_entry& entry : model.program_entries) {
        const std::size_t search = accounting.account(entry);
        const auto area = static_cast<std::uint32_t>(entry.index);
        model.rom.used_bytes += entry.size;
        model.areas[area].used += entry.size;
        model.areas[area].entries.push_back(static_cast<std::uint32_t>(model.entries.size()));
        model.entries.push_back({&entry, area,
                                 search == c_search_accounting::no_search
                                     ? no_search
                                     : static_cast<std::uint32_t>(search)});
    }
    for (const c_map_entry& entry : model.memory_entries) {
        const auto area = static_cast<std::uint32_t>(model.first_ram_area() + entry.index);
        const bool is_bit = entry.is_bit == 1;
        (is_bit ? model.ram.used_bits : model.ram.used_bytes) += entry.size;
        (is_bit ? model.areas[area].bits : model.areas[area].used) += entry.size;
        model.areas[area].entries.push_back(static_cast<std::uint32_t>(model.entries.size()));
        model.entries.push_back({&entry, area, no_search});
    }
    std::size_t position = 0;
    for (const search_def& search : model.search_definitions) {
        model.searches.push_back({accounting.search_text(position++), search.total});
        model.accounted += search.total;
    }
}
}  // namespace

void add_up_usage(usage_model& model) {
    const c_memory_def& def = model.definition;
    add_areas(model, def.program, def.program_names, area_kind::program, "Prg seg");
    add_areas(model, def.memory, def.memory_names, area_kind::ram, "Ram seg");
    add_areas(model, def.eeprom, {}, area_kind::eeprom, "Eep seg");
    model.accounting = std::make_unique<c_search_accounting>(model.search_definitions);
    add_up(model);
}

analysis_status analyze_usage(const analysis_request& request, usage_model& model) {
    model.input.type = request.type;
    model.input.map = request.map;
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
        def.loaded = def.load(request.definition, model.search_definitions);
    }
    const std::unique_ptr<c_map_file> reader = create_reader(request.type, request.map);
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
    if (!reader->is_open()) {
        return analysis_status::invalid_map;
    }

    const bool placed = reader->parse(def, model.program_entries, model.memory_entries);
    model.reader = reader->counts();
    model.unplaced = reader->unplaced();
    model.origins = reader->origins();
    add_up_usage(model);
    return placed ? analysis_status::ok : analysis_status::nothing_placed;
}

}  // namespace tarvel
