// Reader of the map that TI's linkers write (TI ARM armlink "armcl", TI ARM Clang
// "tiarmclang", MSP430 "cl430"): the memory configuration, whose regions are the target's
// memory, and the section allocation map.
#pragma once

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"

namespace tarvel {

// Entries are the input sections of each output section (named as the map names them,
// ".text", ".cinit..data.load", ".common:buffer", with their object file or library member),
// the holes the linker fills ("--HOLE--"), and an output section without input sections
// itself. An output section that is run from another address than it is loaded from ("RUN
// ADDR = ..." or "LOAD ADDR = ...", a copy table's section) counts at both; an UNINITIALIZED
// one at its address alone; a DSECT or COPY section nowhere.
//
// The map states its own figures: each output section's length, which its input sections
// must add up to, and each memory region's used bytes, which the entries in its range must
// add up to. A figure that differs marks its line as damaged.
class c_map_file_ti : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's lines: the banners "TI ARM Linker PC v20.2.7", "TI
    // ARM Clang Linker Unix v3.2.0", "MSP430 Linker PC v21.6.1", or the heading "SECTION
    // ALLOCATION MAP".
    static std::unique_ptr<c_format_evidence> evidence();

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // One area per region of the memory configuration, named as the map names it. A region
    // whose attributes do not allow writing is program memory; a writable one is RAM when it
    // holds an UNINITIALIZED section or the run image of a copied one, program memory when it
    // holds only initialised sections (MSP430 maps mark every region RWIX), and, when it holds
    // nothing, RAM if its name says so. False, with `def` unchanged, for a map without the
    // table.
    bool define_areas(c_memory_def& def) override;
};

}  // namespace tarvel
