// Reader of the map that Arm's armlink writes (Arm Compiler 5 and 6, Keil MDK): the load and
// execution regions of the memory map with their tables of input sections, and the totals of
// the image component sizes.
#pragma once

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"

namespace tarvel {

// Entries are the rows of the execution regions' tables: input sections (named as the map
// names them, ".text", "RESET", "i.main", with their object file or library member) and
// padding ("PAD"). Code and read-only data count at their execution address, and where they
// are loaded elsewhere (code copied to RAM) at their load address too; RW data counts in RAM
// and, as its initial values, at its load address; ZI data in RAM only. RW data that armlink
// stores compressed (the region's "COMPRESSED[size]") counts in program memory as one entry
// named after its execution region, with the compressed size, at the region's load base.
//
// The map states its totals ("Total RO Size", "Total RW Size", "Total ROM Size", the "Grand
// Totals" of the component sizes); a total that differs from what the rows add up to marks its
// line as damaged.
class c_map_file_armlink : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's lines: the banner of the tools that built the image
    // ("Component: ARM Compiler 5.06 update 7 ... Tool: armlink", "Component: Arm Compiler for
    // Embedded 6.19 Tool: armlink") or the heading "Memory Map of the image".
    static std::unique_ptr<c_format_evidence> evidence();

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // One area per execution region, named as the map names it, from its base with the size
    // of its "Max:" (its size when no maximum is given): RAM when the region holds RW or ZI
    // data, program memory otherwise. False, with `def` unchanged, for a map without one.
    bool define_areas(c_memory_def& def) override;
};

}  // namespace tarvel
