// Reader of section maps ("Puma"): a table of output sections, one line per section with its
// number, name, size and address, each followed by a line of section attributes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"
#include "mapfile/section_line_matcher.h"

namespace tarvel {

class c_map_file_elxr : public c_map_file {
  public:
    using c_map_file::c_map_file;

    c_result<parsed_map> parse(const c_memory_def& def, c_entry_list& program_entries,
                               c_entry_list& memory_entries) override;

    // The matcher of section lines, built from `section_names` on first use.
    virtual const c_section_line_matcher& line_regex() const;
    // The section names that the line matcher recognises (each after one arbitrary character).
    virtual const std::vector<std::string>& section_names() const;
    // The bits of a section address that are kept.
    virtual std::uint32_t address_mask() const { return 0x03FFFFFFu; }

    // Next non-empty line. At the end of the file the file is closed and this and every later
    // call return false.
    bool read_line(std::string_view& line);

    // A section that is debugging information or not part of the program image.
    static bool is_dropped(std::string_view name, std::string_view attributes) {
        return drop_rule(name, attributes) != nullptr;
    }
    // The rule that leaves such a section out, in words; null for every other section.
    static const char* drop_rule(std::string_view name, std::string_view attributes);

    // The evidence of this format in a map's first lines (see section_map_evidence.h).
    static std::unique_ptr<c_format_evidence> evidence();
};

}  // namespace tarvel
