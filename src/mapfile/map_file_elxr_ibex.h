// Reader of "Ibex" section maps: the section table of the "Puma" layout with another set of
// section names.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mapfile/map_file_elxr.h"

namespace tarvel {

class c_map_file_elxr_ibex : public c_map_file_elxr {
  public:
    using c_map_file_elxr::c_map_file_elxr;

    const std::vector<std::string>& section_names() const override;

    // The evidence of this format in a map's first lines (see section_map_evidence.h).
    static std::unique_ptr<c_format_evidence> evidence();
};

}  // namespace tarvel
