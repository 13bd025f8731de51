#include "mapfile/map_file_elxr_mem32_unlimited.h"

namespace tarvel {

const c_section_line_matcher& c_map_file_elxr_mem32_unlimited::line_regex() const {
    static const c_section_any_name_matcher matcher;
    return matcher;
}

const std::vector<std::string>& c_map_file_elxr_mem32_unlimited::section_names() const {
    static const std::vector<std::string> none;
    return none;
}

}  // namespace tarvel
