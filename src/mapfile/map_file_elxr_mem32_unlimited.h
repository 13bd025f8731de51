// Reader of "Puma_mem32_unlimited" section maps: the "Puma" section table with any section
// name spelled with letters, digits, "_" and ".", and addresses that use all 32 bits.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mapfile/map_file_elxr.h"

namespace tarvel {

class c_map_file_elxr_mem32_unlimited : public c_map_file_elxr {
  public:
    using c_map_file_elxr::c_map_file_elxr;

    // Section lines with any such name, optionally in brackets; the recorded name leaves out
    // the brackets and one leading dot.
    const c_section_line_matcher& line_regex() const override;
    // No list: every name is accepted.
    const std::vector<std::string>& section_names() const override;
    std::uint32_t address_mask() const override { return 0xFFFFFFFFu; }

    // The evidence of this format in a map's first lines (see section_map_evidence.h).
    static std::unique_ptr<c_format_evidence> evidence();
};

}  // namespace tarvel
