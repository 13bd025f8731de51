// The memory report: RAM and ROM totals and usage, one line per program area and the program
// memory broken down by search.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/search_accounting.h"
#include "memdef/memory_def.h"

namespace tarvel {

// What the analysis run adds up from the placed entries (unsigned 32-bit, wrapping).
struct memory_counters {
    std::uint32_t memory_bytes = 0;
    std::uint32_t memory_bits = 0;  // bit variables in RAM
    std::uint32_t program_used = 0;
    std::vector<std::uint32_t> area_used;  // one per program area
};

// Prints the report to `out`, writing the ambiguity file beside the map file when the searches
// counted a name more than once. The stream's format state is restored afterwards.
void print_memory_report(std::ostream& out, const c_memory_def& def,
                         const memory_counters& counters, const search_list& searches,
                         const c_search_accounting& accounting, const std::string& map_file_name);

}  // namespace tarvel
