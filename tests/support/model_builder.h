// Builds usage models for the renderer tests from a definition and entries, through the
// analysis's own adding up.
#pragma once

#include <cstdint>
#include <string>

#include "analysis/usage_analysis.h"

namespace tarvel::test {

class c_model_builder {
  public:
    c_model_builder& program(std::uint32_t start, std::uint32_t size) {
        model.definition.program.push_back({start, size, no_area});
        return *this;
    }
    c_model_builder& ram(std::uint32_t start, std::uint32_t size) {
        model.definition.memory.push_back({start, size, no_area});
        return *this;
    }
    c_model_builder& eeprom(std::uint32_t start, std::uint32_t size) {
        model.definition.eeprom.push_back({start, size, no_area});
        return *this;
    }
    c_model_builder& search(const std::string& text) {
        model.search_definitions.push_back(parse_terms(text));
        return *this;
    }
    // An entry placed by the placement rule: a program area first, then RAM; else unplaced.
    c_model_builder& entry(const std::string& name, std::uint32_t address, std::uint32_t size,
                           bool is_bit = false, std::uint32_t origin = no_origin) {
        c_map_entry e;
        e.name = name;
        e.address = address;
        e.size = size;
        e.is_bit = is_bit ? 1 : 0;
        e.origin = origin;
        const c_memory_def& def = model.definition;
        if (c_memory_def::find_area(e.address, e.size, e.index, def.program)) {
            model.program_entries.insert(e);
        } else if (c_memory_def::find_area(e.address, e.size, e.index, def.memory)) {
            model.memory_entries.insert(e);
        } else {
            model.unplaced.push_back(e);
        }
        return *this;
    }
    // An entry placed in an area as a linker map's reader places it: in the `index`th program
    // (or RAM) area whatever its size, as a section that runs past a region's end.
    c_model_builder& placed(const std::string& name, std::uint32_t address, std::uint32_t size,
                            bool in_program, std::uint32_t index,
                            std::uint32_t origin = no_origin) {
        c_map_entry e;
        e.name = name;
        e.address = address;
        e.size = size;
        e.index = index;
        e.origin = origin;
        (in_program ? model.program_entries : model.memory_entries).insert(e);
        return *this;
    }
    usage_model& done(const add_up_options& options = {}) {
        add_up_usage(model, options);
        return model;
    }

    usage_model model;
};

}  // namespace tarvel::test
