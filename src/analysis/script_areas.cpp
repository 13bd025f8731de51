#include "analysis/script_areas.h"

#include <algorithm>

#include "mapfile/gnu_memory_regions.h"

namespace tarvel {

bool areas_from_regions(const std::vector<ld_script_region>& regions, c_memory_def& def) {
    constexpr std::uint64_t address_space = std::uint64_t{1} << 32;
    c_memory_def areas;
    // How each kind was decided, gathered by kind: the areas go in the order program, RAM,
    // EEPROM, other, and kind_sources follows that order.
    std::vector<std::string> sources[4];
    for (const ld_script_region& region : regions) {
        if (region.origin >= address_space) {
            continue;
        }
        // A 32-bit size holds at most 2^32 - 1: a region of the whole space loses its last byte.
        const std::uint64_t length =
            std::min({region.length, address_space - region.origin, address_space - 1});
        const mem_area area{static_cast<std::uint32_t>(region.origin),
                            static_cast<std::uint32_t>(length), no_area};
        // The script tells nothing of the regions' contents: letters and names decide.
        gnu::memory_region described;
        described.name = region.name;
        described.attributes = region.attributes;
        described.writable = gnu::attributes_allow_writing(region.attributes);
        const gnu::region_decision decision = gnu::decide_kind(described, {});
        switch (decision.kind) {
            case gnu::region_kind::program:
                areas.program.push_back(area);
                areas.program_names.push_back(region.name);
                break;
            case gnu::region_kind::ram:
                areas.memory.push_back(area);
                areas.memory_names.push_back(region.name);
                break;
            case gnu::region_kind::eeprom:
                areas.eeprom.push_back(area);
                areas.eeprom_names.push_back(region.name);
                break;
            case gnu::region_kind::other:
                areas.other.push_back(area);
                areas.other_names.push_back(region.name);
                break;
        }
        sources[static_cast<int>(decision.kind)].emplace_back(
            gnu::kind_source_name(decision.source));
    }
    if (areas.program.empty() && areas.memory.empty() && areas.eeprom.empty() &&
        areas.other.empty()) {
        return false;
    }
    def.program = std::move(areas.program);
    def.memory = std::move(areas.memory);
    def.eeprom = std::move(areas.eeprom);
    def.other = std::move(areas.other);
    def.program_names = std::move(areas.program_names);
    def.memory_names = std::move(areas.memory_names);
    def.eeprom_names = std::move(areas.eeprom_names);
    def.other_names = std::move(areas.other_names);
    def.kind_sources.clear();
    for (std::vector<std::string>& kind : sources) {
        for (std::string& source : kind) {
            def.kind_sources.push_back(std::move(source));
        }
    }
    return true;
}

}  // namespace tarvel
