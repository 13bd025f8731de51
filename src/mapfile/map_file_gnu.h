// Reader of the map file that GNU ld writes with -Map ("Gnu"): the memory regions of the
// linker script, and the output sections with the input sections, padding and data statements
// that fill them.
#pragma once

#include <string>
#include <vector>

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"

namespace tarvel {

// Entries are the pieces of each output section: input sections (named as the map names them,
// such as ".text.main" or "COMMON", with the object file or archive member they come from),
// padding ("*fill*") and data statements ("LONG", ...), so that the entries of an output
// section add up to its size; where they add up to less, the rest is an entry named after the
// output section.
//
// An output section with a load address other than its run address keeps its initial contents
// in program memory: each of its entries is counted twice, at its run address and at the
// same offset from the load address. An output section without contents has no load image,
// whatever load address the map prints: one whose name is that of zero-initialised data, of
// ".noinit" or of a stack or heap reservation, and one in which no piece of nonzero size has
// contents (only ".bss"-like input sections, "COMMON" and padding, as the reservations made by
// moving the location counter). Sections that are never loaded (debugging information and the
// like) count nowhere, nor do the discarded input sections and the archive and common-symbol
// listings before the memory map.
class c_map_file_gnu : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's first lines: a line "Memory Configuration" or "Linker
    // script and memory map".
    static std::unique_ptr<c_format_evidence> evidence();

    bool parse(const c_memory_def& def, c_entry_list& program_entries,
               c_entry_list& memory_entries) override;

    // One area per region of the "Memory Configuration" table, in table order: a region whose
    // attributes allow writing is RAM, any other program memory. Replaces the program and RAM
    // areas of `def` and their names; false, with `def` unchanged, when the map has no such
    // table. The map is opened again afterwards, ready for `parse` (a pipe is read into memory
    // first, so that it can be read twice).
    bool define_areas(c_memory_def& def) override;
};

}  // namespace tarvel
