#include "mapfile/section_map_evidence.h"

#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"

namespace tarvel {

namespace {
// The readers are made once, for their line matchers only.
struct section_matchers {
    c_map_file_elxr puma{text_source{}};
    c_map_file_elxr_ibex ibex{text_source{}};
    c_map_file_elxr_wren wren{text_source{}};
    c_map_file_elxr_mem32_unlimited unlimited{text_source{}};
};

const section_matchers& matchers() {
    static const section_matchers instance;
    return instance;
}
}  // namespace

bool is_any_section_line(std::string_view line, section_line_fields& fields) {
    // Every section line begins with a section number: most other lines end here.
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] < '0' || line[first] > '9') {
        return false;
    }
    const section_matchers& all = matchers();
    return all.puma.line_regex().match(line, fields) || all.ibex.line_regex().match(line, fields) ||
           all.wren.line_regex().match(line, fields) ||
           all.unlimited.line_regex().match(line, fields);
}

bool c_section_table_evidence::proves(std::size_t /*number*/, std::string_view line) {
    if (clashes_ > 0) {
        return false;  // no longer a section table, whatever follows
    }
    if (on_line_ != nullptr && !signed_ && on_line_(line)) {
        signed_ = true;
    }
    if (line.empty()) {
        return false;
    }
    section_line_fields fields;
    const bool section = is_any_section_line(line, fields);
    if (pending_) {
        pending_ = false;
        if (!section) {
            ++pairs_;
            signed_ = signed_ || pending_sign_;
            return false;
        }
        ++clashes_;
    }
    if (section) {
        pending_ = true;
        pending_sign_ = on_section_(line, fields);
    }
    return false;
}

int c_section_table_evidence::strength() const {
    return pairs_ > 0 && clashes_ == 0 && signed_ ? rank_ : 0;
}

}  // namespace tarvel
