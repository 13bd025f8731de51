// Reader of the map file that GNU ld writes with -Map ("Gnu"): the memory regions of the
// linker script, and the output sections with the input sections, padding and data statements
// that fill them.
#pragma once

#include <string>
#include <vector>

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"
#include "mapfile/origin_table.h"

namespace tarvel {

// Entries are the pieces of each output section: input sections (named as the map names them,
// such as ".text.main" or "COMMON", with the object file or archive member they come from),
// padding ("*fill*") and data statements ("LONG", ...). Each counts the bytes it alone holds
// (merged constants are listed at overlapping addresses) and keeps its listed size beside
// them, so that the entries of an output section add up to its size; the parts of a section
// that no piece covers are entries named after the section. Every byte counts once: sections
// listed at addresses that an earlier one holds (an OVERLAY window, a "(COPY)" section over a
// heap) count only what lies beyond, and thread-local zero data (".tbss") takes no room.
//
// Every piece counts in the area that its section starts in, also where the section runs
// past the area's end, so that an overflowing link shows as an over-full area; a section that
// starts in no area gives entries in no area.
//
// An output section with a load address other than its run address keeps its initial contents
// in program memory: each of its entries is counted twice, at its run address and at the
// same offset from the load address, in the area that the load address lies in. An output
// section without contents has no load image, whatever load address the map prints: one whose
// name says zero-initialised data, ".noinit" or a stack or heap reservation, and one in which
// no piece of nonzero size has contents. Sections that are never loaded (debugging
// information and the like) count nowhere, nor do the discarded input sections and the archive
// and common-symbol listings before the memory map.
class c_map_file_gnu : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's first lines: a line "Memory Configuration" or "Linker
    // script and memory map".
    static std::unique_ptr<c_format_evidence> evidence();

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // One area per region of the "Memory Configuration" table, in table order, its kind
    // decided from the region's name, attributes and what the memory map places there (see
    // gnu::decide_kind); regions of the same origin and length are one area. A table without
    // regions (ld's default script) gives the program memory and RAM areas of size 0 of a map
    // without regions. Replaces `def`; false, with `def` unchanged, when the map has no such
    // table. The map is opened again afterwards, ready for `parse` (a pipe is read into memory
    // first, so that it can be read twice).
    bool define_areas(c_memory_def& def) override;

    bool entries_may_overrun_areas() const override { return true; }

  private:
    struct part_state;
    // A later part of the map read beside this reader's part: its reader and lists.
    struct later_part;

    // Reads the map from where the file stands (in the memory map or before it). At a stop of
    // the file (the first line of `later`), takes over the later part's work where it holds
    // (see the function) and ends; otherwise reads on.
    void read_part(const c_memory_def& def, c_entry_list& program_entries,
                   c_entry_list& memory_entries, c_origin_table& origins, part_state& state,
                   bool in_memory_map, later_part* later);
    // Starts the later part of a map large enough to split, reading on another thread.
    std::unique_ptr<later_part> start_later_part(const c_memory_def& def,
                                                 const c_entry_list& program_entries);
};

}  // namespace tarvel
