// Fuzz target: one map reader, chosen at build time by its type keyword (TARVEL_FUZZ_TYPE),
// parsing the input as a map file against a fixed memory definition, and against the areas
// that the map itself defines where its reader takes them from the map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_files.h"
#include "mapfile/create_reader.h"
#include "memdef/memory_def.h"

#ifndef TARVEL_FUZZ_TYPE
#error "TARVEL_FUZZ_TYPE must name the map type keyword"
#endif

namespace {
// Areas where the examples and generated maps put their sections and symbols (section-map
// addresses are masked to 26 bits, so the high program area is 0xFE0000 after masking), a
// reserved range inside a program area and one in RAM, and searches that overlap.
const char* const definition_text =
    "PROGRAM 0 10000\n"
    "PROGRAM FE0000 20000\n"
    "PROGRAM FEDE0000 10000\n"
    "MEMORY 10000 8000\n"
    "MEMORY 3FF0000 10000\n"
    "MEMORY FEBF0000 10000\n"
    "RESERVED 100 20\n"
    "RESERVED 10000 10\n"
    "SEARCH text\n"
    "SEARCH |data |bss !debug\n"
    "SEARCH a\n";

// GNU ld maps count every piece of a section in the area where the section starts, also the
// pieces past that area's end (a link that overflows a region shows as an over-full area).
constexpr bool may_overrun_areas = std::string_view(TARVEL_FUZZ_TYPE) == "Gnu";

const tarvel::c_memory_def& fixed_definition() {
    static const tarvel::c_memory_def def =
        tarvel::fuzz::load_definition("fixed.def", definition_text);
    return def;
}
}  // namespace

// Parses the map against `def` and checks what was placed: parse reports whether anything was
// placed, every placed entry lies in the area its index names, and the lists are in address
// order.
void parse_and_check(tarvel::c_map_file& reader, const tarvel::c_memory_def& def) {
    using namespace tarvel;
    c_entry_list program_entries;
    c_entry_list memory_entries;
    // The map is text in memory: it is always open.
    const c_result<parsed_map> parsed = reader.parse(def, program_entries, memory_entries);
    if (!parsed || parsed->placed_any == (program_entries.empty() && memory_entries.empty())) {
        std::abort();
    }
    for (const auto* list : {&program_entries, &memory_entries}) {
        // The entries of the data list are numbered across the RAM areas, then the EEPROM and
        // other areas of a map's own regions.
        std::vector<tarvel::mem_area> areas = def.program;
        if (list == &memory_entries) {
            areas = def.memory;
            areas.insert(areas.end(), def.eeprom.begin(), def.eeprom.end());
            areas.insert(areas.end(), def.other.begin(), def.other.end());
        }
        std::uint32_t previous = 0;
        for (const c_map_entry& entry : *list) {
            // An entry may count no bytes (a GNU ld piece at addresses another piece holds),
            // but it lists some.
            if (entry.index >= areas.size() || entry.listed_size() == 0 ||
                entry.address < previous) {
                std::abort();
            }
            const mem_area& area = areas[entry.index];
            const bool inside =
                entry.address >= area.start &&
                std::uint64_t{entry.address} + entry.size <= std::uint64_t{area.start} + area.size;
            if (!inside && !may_overrun_areas) {
                std::abort();
            }
            if (entry.origin != no_origin && entry.origin >= reader.origins().size()) {
                std::abort();
            }
            previous = entry.address;
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvel;
    const std::string path = fuzz::scratch().write("input.map", fuzz::as_text(data, size));
    const std::unique_ptr<c_map_file> reader =
        create_reader(TARVEL_FUZZ_TYPE, text_source::file(path));
    if (!reader) {
        return 0;  // the reader for this keyword is not built into this tree
    }
    if (!reader->is_open()) {
        std::abort();  // a regular file that exists must open
    }
    parse_and_check(*reader, fixed_definition());
    // A map that describes the target's memory itself is parsed against its own areas too.
    const std::unique_ptr<c_map_file> describing =
        create_reader(TARVEL_FUZZ_TYPE, text_source::file(path));
    c_memory_def own;
    if (describing->define_areas(own)) {
        if (own.program.size() != own.program_names.size() ||
            own.memory.size() != own.memory_names.size()) {
            std::abort();
        }
        parse_and_check(*describing, own);
    }
    return 0;
}
