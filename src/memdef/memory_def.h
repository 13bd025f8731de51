// The target's memory as the definition file describes it: program (ROM), RAM, EEPROM areas
// and reserved ranges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memdef/mem_area.h"
#include "memdef/search_def.h"
#include "text/input_result.h"

namespace tarvel {

enum class def_line_kind {
    none = 0,
    program = 1,
    memory = 2,
    eeprom = 3,
    reserved = 4,
    search = 5
};

class c_memory_def {
  public:
    c_memory_def() = default;
    virtual ~c_memory_def() = default;
    c_memory_def(const c_memory_def&) = default;
    c_memory_def& operator=(const c_memory_def&) = default;

    std::vector<mem_area> program;  // ROM areas, in file order
    std::vector<mem_area> memory;   // RAM areas
    std::vector<mem_area> eeprom;   // stored, not analysed
    // Areas that count in neither the ROM nor the RAM totals: a linker's regions for fuses,
    // lock bits or signatures, and regions of which the map tells nothing more.
    std::vector<mem_area> other;
    std::vector<mem_area> reserved;  // ranges that count as used program memory (listing maps)
    bool loaded = false;
    // Names of the program and RAM areas where the memory's own description names them (a
    // linker's memory regions); empty where a report names them by kind and position.
    std::vector<std::string> program_names;
    std::vector<std::string> memory_names;
    std::vector<std::string> eeprom_names;
    std::vector<std::string> other_names;
    // How a map decided each area's kind ("attributes", "contents", ...), in the order program,
    // RAM, EEPROM, other areas; empty for a definition file.
    std::vector<std::string> kind_sources;
    // The map names no memory regions: its contents are summed by kind, without areas to
    // compare them with (one program and one RAM area of size 0 hold them).
    bool without_regions = false;

    // Reads the definition file into this model and appends its searches to `searches`. The
    // error names the file: it cannot be opened, or it holds no area line (its searches are
    // appended all the same).
    c_result<done> load(const std::string& file_name, search_list& searches);

    // Classifies one line; fills `area` for an area line and appends to `searches` for a
    // search line with at least one term.
    def_line_kind parse_line(mem_area& area, std::string_view line, search_list& searches) const;

    // Finds the first area that holds the range [address, address + size) and stores its
    // position in `index`. A range of size 0 fits nowhere.
    static bool find_area(std::uint32_t address, std::uint32_t size, std::uint32_t& index,
                          const std::vector<mem_area>& areas);
    static bool find_area(mem_area& range, const std::vector<mem_area>& areas) {
        return find_area(range.start, range.size, range.index, areas);
    }

    // Sum of the sizes, modulo 2^32.
    static std::uint32_t total_size(const std::vector<mem_area>& areas);

    // The program area at `position`, or a shared empty area {0, 0, no_area} past the end.
    const mem_area& program_area(std::size_t position) const;
};

}  // namespace tarvel
