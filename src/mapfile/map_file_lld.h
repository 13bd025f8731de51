// Reader of the map that LLVM's lld writes with -Map ("Lld"): one table of output sections,
// the input sections that fill them and their symbols (see lld_map_line.h).
#pragma once

#include <memory>
#include <string_view>

#include "mapfile/format_evidence.h"
#include "mapfile/lld_map_line.h"
#include "mapfile/map_file.h"
#include "mapfile/origin_table.h"

namespace tarvel {

// Entries are the input sections of each output section, named as the map names them (".text.
// main", with the object file or archive member they come from; "<internal>" for the pieces
// the linker makes itself); where they add up to less than the output section (alignment gaps,
// reservations made by moving the location counter), the rest is an entry named after the
// output section. As with GNU ld's maps, an output section whose load address differs from its
// address keeps its initial contents in program memory, each entry counted again at the same
// offset from the load address, unless the section holds no contents (zero-initialised data,
// ".noinit", stack and heap reservations); sections that are never loaded (debugging
// information, attributes, the symbol and string tables that lld lists too) count nowhere.
// An lld map names no memory regions: the areas come from a definition or the linker script.
class c_map_file_lld : public c_map_file {
  public:
    using c_map_file::c_map_file;

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // The table's heading, "VMA LMA Size Align Out In Symbol" (or the older "Address Size Align
    // Out In Symbol"), proves the format.
    static std::unique_ptr<c_format_evidence> evidence();

    // The rule by which an output section of an lld map takes no target memory, or null.
    static const char* not_in_target_rule(std::string_view name, std::uint64_t address);

  private:
    // A later part of the map read beside this reader's part: its reader and lists.
    struct later_part;

    // Reads the table from where the file stands, in `layout` (none: the heading comes
    // first). At a stop of the file (the first line of `later`), takes over the later part's
    // work when the table's layout there is the one it began with, and ends; otherwise reads
    // on. True when it took the later part over.
    bool read_table(const c_memory_def& def, c_entry_list& program_entries,
                    c_entry_list& memory_entries, c_origin_table& origins, lld::columns layout,
                    later_part* later);
    // Starts the later part of a map large enough to split, reading on another thread.
    std::unique_ptr<later_part> start_later_part(const c_memory_def& def,
                                                 const c_entry_list& program_entries);
};

}  // namespace tarvel
