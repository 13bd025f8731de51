// Reader of "Ibex" section maps: the section table of the "Puma" layout with another set of
// section names.
#pragma once

#include <string>
#include <vector>

#include "mapfile/map_file_elxr.h"

namespace tarvel {

class c_map_file_elxr_ibex : public c_map_file_elxr {
  public:
    using c_map_file_elxr::c_map_file_elxr;

    const std::vector<std::string>& section_names() const override;
};

}  // namespace tarvel
