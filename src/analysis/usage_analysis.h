// The analysis run: reads the memory definition and the map, places the entries, credits them
// to the searches and fills the usage model.
#pragma once

#include <string>

#include "analysis/ambiguity_sink.h"
#include "analysis/usage_model.h"
#include "memdef/memory_def.h"

namespace tarvel::gnu {
class c_elf_witness;
}

namespace tarvel {

enum class analysis_status {
    ok,              // the model is complete
    nothing_placed,  // the map was read, but no entry lies in a defined area
    no_definition_name,
    no_map_name,
    unsupported_type,
    invalid_definition,  // the definition cannot be read or holds no area; the map is fine
    invalid_definition_and_map,
    invalid_map,   // the map cannot be read
    no_map_areas,  // the map was to define the areas but holds no memory regions
};

// What the adding up keeps besides the figures.
struct add_up_options {
    // Where the ambiguities go as they are found; null: into the model.
    c_ambiguity_sink* ambiguity_sink = nullptr;
    // Whether the model lists its entries (usage_model::entries and each area's entries). The
    // plain memory report needs only the figures; without the lists, and without searches,
    // the entries need not even be put in address order, nor keep their names.
    bool list_entries = true;
    // Whether areas may hold more than their size (c_map_file::entries_may_overrun_areas);
    // analyze_usage sets it from the reader.
    bool show_overflow = false;
};

struct analysis_request {
    std::string type;        // the reader's keyword
    std::string definition;  // the memory definition file
    std::string map;
    // The areas come from the map's own memory regions instead of a definition file.
    bool use_map_areas = false;
    // The areas, given ready (from a linker script), instead of either; then named `areas_from`.
    const c_memory_def* areas = nullptr;
    std::string areas_from{};
    // The ELF file of the same link, read by a map reader whose entries carry addresses.
    gnu::c_elf_witness* elf_witness = nullptr;
};

// Fills `model` (which must be fresh). On `ok` and `nothing_placed` the model holds what the
// reader saw; on `ok` every figure.
analysis_status analyze_usage(const analysis_request& request, usage_model& model,
                              const add_up_options& options = {});

// The part of the run after the reading: from the model's definition, searches and entry
// lists, its areas, the accounting and every figure.
void add_up_usage(usage_model& model, const add_up_options& options = {});

}  // namespace tarvel
