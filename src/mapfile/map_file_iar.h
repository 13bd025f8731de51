// Reader of the map that IAR's ILINK writes (EWARM 6 to 9): the placement summary, whose
// "place in" ranges are the target's memory, the section list, and the closing totals.
#pragma once

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"

namespace tarvel {

// Entries are the rows of the section list that have a kind: sections (named as the map
// names them, ".text", ".bss", with their object file or library member), the packed initial
// values of initialised data ("Initializer bytes", read-only data in program memory) and the
// stack and heap blocks. Blocks and init blocks only group such rows and are no entries. Where
// the rows of a part of a placement add up to less than the part's size, an entry named after
// the placement ("P1") holds the rest: the gaps between the sections, which the map's totals
// count.
//
// The map's own figures are checked: the closing totals ("5'831 bytes of readonly  code
// memory", ...), whose read-only and read-write sums must equal what the rows add up to, the
// size of each part, which its rows must not exceed nor overlap within, and the "Gaps" of the
// module summary, which must equal the parts' bytes that no row holds (a lost row would hide
// among them).
class c_map_file_iar : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's lines: the banner "# IAR ELF Linker V9.30.1.335/W64
    // for ARM" (EWARM 6 to 9) or the part title "*** PLACEMENT SUMMARY".
    static std::unique_ptr<c_format_evidence> evidence();

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // One area per range of each "place in" statement, named after its label ("P1"; "P2.2"
    // for the second range of P2), RAM when the statement places RW or ZI data or a stack or
    // heap block, program memory otherwise. A range given twice is one area. False, with
    // `def` unchanged, for a map without a placement summary.
    bool define_areas(c_memory_def& def) override;
};

}  // namespace tarvel
