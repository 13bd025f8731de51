// Reader of listing maps ("Orca"): a linker listing whose symbol table is a fixed-column text
// table headed "Memory map", one symbol per line with a dotted leader after its name.
#pragma once

#include <string_view>

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"

namespace tarvel {

class c_map_file_altium : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's first lines: a first line containing "Memory map".
    static std::unique_ptr<c_format_evidence> evidence();

    // Places every symbol of the table, then one pseudo-entry per reserved range of `def` that
    // lies in a program area (reserved ROM counts as used).
    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // The symbol of one table line (a line holding the dotted leader). False when the line is
    // no symbol line or its name is empty.
    static bool read_symbol(std::string_view line, c_map_entry& entry);
};

}  // namespace tarvel
