// Reader of "Wren" section maps: the section table of the "Puma" layout with its own section
// names, and elsewhere in the same file a symbol list, one symbol a line with its address,
// type letters and name.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mapfile/map_file_elxr.h"

namespace tarvel {

class c_map_file_elxr_wren : public c_map_file_elxr {
  public:
    // The map is read twice; one that can be read only once (a pipe) is kept in memory.
    explicit c_map_file_elxr_wren(const text_source& source);

    // The table lists ".data" at the address of its initial values in ROM: that image is
    // counted as an added "rodata" entry, and ".data" itself moves to the RAM address of
    // ".data_begin". Then the map is read again for the stack symbols "__stack_begin" and
    // "__stack_end", which add a "stack" entry. Nothing changes when ".data" or ".data_begin"
    // is missing; a map that cannot be read again keeps the data correction alone.
    void post_process(std::vector<c_map_entry>& entries) override;

    const std::vector<std::string>& section_names() const override;

    // Whether the whole line is a symbol line for `symbol`: lower-case hexadecimal digits (the
    // address), white space, upper-case letters (the type), white space and the symbol as the
    // last text of the line. `symbol` must not begin with white space or an upper-case letter.
    // Gives the address digits. Accepts exactly the lines that `symbol_pattern_text` matches.
    static bool match_symbol_line(std::string_view line, std::string_view symbol,
                                  std::string_view& address);

    // The ECMAScript pattern, matched against the whole line, that `match_symbol_line` stands
    // for; `symbol` is inserted as it is.
    static std::string symbol_pattern_text(std::string_view symbol);

    // The evidence of this format in a map's first lines (see section_map_evidence.h).
    static std::unique_ptr<c_format_evidence> evidence();
};

}  // namespace tarvel
