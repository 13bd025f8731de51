// The usage model: everything one analysis run found out, from which every report is drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/eep_usage.h"
#include "analysis/search_accounting.h"
#include "mapfile/entry_list.h"
#include "mapfile/entry_vector.h"
#include "mapfile/map_entry.h"
#include "mapfile/reader_counts.h"
#include "memdef/memory_def.h"
#include "memdef/search_def.h"

namespace tarvel {

// EEPROM and other areas count in neither the RAM nor the ROM totals: other areas are a
// linker's regions for fuses, lock bits or signatures, and regions of which the map tells
// nothing that would decide their kind.
enum class area_kind { program, ram, eeprom, other };

// "program", "ram", "eeprom", "other": the kind as reports write it.
const char* area_kind_name(area_kind kind);

// Value of `entry_usage::search` for an entry credited to no search.
inline constexpr std::uint32_t no_search = 0xFFFFFFFFu;

// One area of the target's memory and what lies in it. Sums wrap modulo 2^32.
struct area_usage {
    std::string name;  // "Prg seg0", "Ram seg0", "Eep seg0", or the map's own region name
    area_kind kind = area_kind::program;
    std::uint32_t start = 0;
    std::uint32_t size = 0;
    std::uint32_t used = 0;              // bytes
    std::uint32_t bits = 0;              // bit variables (RAM areas of listing maps)
    std::vector<std::uint32_t> entries;  // positions in usage_model::entries, by address
    // How the map decided the area's kind ("attributes", "contents", ...); empty for an area
    // of a definition file.
    std::string kind_source;
    // Whether the area may hold more than its size (the sections of a linker map that run
    // past a region's end count in it): free is then 0 and `over` tells by how much.
    bool shows_overflow = false;

    // The used bytes with the bits rounded to whole bytes, halves up: the percentage's base.
    std::uint32_t used_rounded() const { return used + (bits + 4u) / 8u; }
    std::int64_t free() const {
        const std::int64_t free = std::int64_t{size} - std::int64_t{used_rounded()};
        return shows_overflow && free < 0 ? 0 : free;
    }
    // Bytes used beyond the size.
    std::uint32_t over() const { return used_rounded() > size ? used_rounded() - size : 0; }
    double used_percent() const;
};

// RAM or ROM as a whole: the sum of the areas of that kind.
struct memory_total {
    std::uint32_t total = 0;
    std::uint32_t used_bytes = 0;
    std::uint32_t used_bits = 0;
    bool shows_overflow = false;  // as area_usage::shows_overflow

    // Used bytes with the bits as fractions of a byte, as the report prints them (rounded).
    double used() const { return used_bytes + used_bits * 0.125; }
    double free() const {
        const double free = static_cast<double>(total) - used();
        return shows_overflow && free < 0 ? 0 : free;
    }
    // The percentage counts the bits to the nearest whole byte, halves up.
    double used_percent() const;
};

// A placed entry, in address order: program entries first, then RAM entries.
struct entry_usage {
    const c_map_entry* entry = nullptr;
    std::uint32_t area = 0;            // position in usage_model::areas
    std::uint32_t search = no_search;  // position in usage_model::searches credited with it
};

struct search_usage {
    std::string text;  // as the report prints it: "text !DFALib "
    std::uint32_t bytes = 0;
};

struct input_files {
    std::string type;
    bool detected = false;   // the type was found from the map's content
    std::string definition;  // empty when the map's own memory regions were used
    std::string map;
    std::string eep;  // empty without an EEPROM file
};

// Everything one run found out. It owns the entries, the searches and their accounting, so it
// is filled in place and never copied.
struct usage_model {
    usage_model() = default;
    usage_model(const usage_model&) = delete;
    usage_model& operator=(const usage_model&) = delete;

    input_files input;
    reader_counts reader;
    // Program areas, then RAM, EEPROM and other areas, each in file order.
    std::vector<area_usage> areas;
    memory_total ram;
    memory_total rom;
    std::vector<search_usage> searches;
    std::uint32_t accounted = 0;  // sum of the searches' bytes
    std::vector<entry_usage> entries;
    c_entry_vector unplaced;            // recognised but in no area, in the order read
    std::vector<entry_origin> origins;  // indexed by c_map_entry::origin
    std::optional<eep_usage> eeprom;

    // The memory definition and its searches, and the entry lists the reader filled.
    c_memory_def definition;
    search_list search_definitions;
    c_entry_list program_entries;
    c_entry_list memory_entries;
    // Records the names counted more than once; empty before the entries were accounted.
    std::unique_ptr<c_search_accounting> accounting;

    // Positions of the first RAM and the first EEPROM area in `areas`.
    std::size_t first_ram_area() const { return definition.program.size(); }
    std::size_t first_eeprom_area() const {
        return definition.program.size() + definition.memory.size();
    }
    std::size_t first_other_area() const { return first_eeprom_area() + definition.eeprom.size(); }
    // Whether the map names no memory regions: the areas hold what the map places, without
    // sizes to compare it with.
    bool without_regions() const { return definition.without_regions; }
    // The areas that hold more than their size, of maps whose sections may run past an area's
    // end (area_usage::shows_overflow).
    std::vector<const area_usage*> over_full_areas() const;

    // The ambiguities the model keeps (none when a sink took them), and how many were found.
    const std::vector<ambiguity>& ambiguities() const;
    std::size_t ambiguity_count() const { return accounting ? accounting->ambiguity_count() : 0; }
    std::uint32_t ambiguous_bytes() const { return accounting ? accounting->ambiguous_bytes() : 0; }
    // The object file and archive of an entry; null when the map names none.
    const entry_origin* origin_of(const c_map_entry& entry) const {
        return entry.origin < origins.size() ? &origins[entry.origin] : nullptr;
    }
};

// Positions in `model.entries` of the `count` largest entries of `area`, largest first (bit
// variables by their bits, as eighths of a byte); equal sizes in address order.
std::vector<std::uint32_t> largest_entries(const usage_model& model, const area_usage& area,
                                           std::size_t count);

}  // namespace tarvel
