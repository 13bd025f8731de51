// Reader of image-summary maps ("Otter"): an Image Summary table of the sections with base
// address and size, a Module Summary table of the pieces that each module puts into them, and
// a Global Symbols table, under repeated "Load Map <date>" title lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <memory>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"

namespace tarvel {

// The Image Summary gives the figures: every section counts with its size there. Where the
// Module Summary lists pieces of a section, those pieces are its entries (named after the
// section, with the module as origin), so that the program can be broken down by object file;
// where they add up to less than the section, an entry named after the section holds the rest,
// at the section's end. Where they add up to more, or for a section without pieces, the
// section itself is the entry. A piece belongs to the section of its name whose range holds
// it. Symbols are not entries.
class c_map_file_otter : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // The evidence of this format in a map's first lines: an Image Summary heading "Section Base
    // Size(hex) Size(dec) SecOffs" or a Module Summary heading "Origin+Size Section Module".
    static std::unique_ptr<c_format_evidence> evidence();

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // The rule that leaves a section out, in words, or null: debugging sections (name
    // containing "debug"), ".heap" (the linker sizes it to fill the rest of RAM), ".linfix",
    // ".gstackfix" and ".note.renesas".
    static const char* drop_rule(std::string_view name);
};

}  // namespace tarvel
