#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/section_map_evidence.h"
#include "text/hex_number.h"

namespace tarvel {

const c_section_line_matcher& c_map_file_elxr_mem32_unlimited::line_regex() const {
    static const c_section_any_name_matcher matcher;
    return matcher;
}

const std::vector<std::string>& c_map_file_elxr_mem32_unlimited::section_names() const {
    static const std::vector<std::string> none;
    return none;
}

namespace {
// The sections that every section map may list and every reader leaves out or ignores.
bool is_common_extra(std::string_view name) {
    return name.find("debug") != std::string_view::npos || name == "comment" || name == "heap" ||
           name == "linfix" || name == "gstackfix" || name == "note.renesas";
}

// The top six bits neither all clear nor all set: the 26-bit addresses of the other section
// maps cannot stand for it (the top of the address space is the 26-bit space's own RAM window).
bool beyond_26_bits(std::string_view address_digits) {
    const std::uint32_t top = hex_digits_to_u32(address_digits) >> 26;
    return top != 0 && top != 0x3F;
}
}  // namespace

// A section of no other format's name list (other than the debugging, ".comment" and
// ".heap"-like sections that every section map has), a bracketed name, or an address beyond
// 26 bits.
std::unique_ptr<c_format_evidence> c_map_file_elxr_mem32_unlimited::evidence() {
    return std::make_unique<c_section_table_evidence>(
        2, [](std::string_view line, const section_line_fields& any) {
            if (beyond_26_bits(any.address)) {
                return true;
            }
            static const c_map_file_elxr puma{text_source{}};
            static const c_map_file_elxr_ibex ibex{text_source{}};
            static const c_map_file_elxr_wren wren{text_source{}};
            static const c_map_file_elxr_mem32_unlimited unlimited{text_source{}};
            section_line_fields fields;
            if (puma.line_regex().match(line, fields) || ibex.line_regex().match(line, fields) ||
                wren.line_regex().match(line, fields)) {
                return false;
            }
            return unlimited.line_regex().match(line, fields) &&
                   (!is_common_extra(fields.name) || line.find('[') != std::string_view::npos);
        });
}

}  // namespace tarvel
