// The evidence of the section-map formats (Puma, Puma_mem32_unlimited, Ibex, Wren), which share
// one layout: a table of section lines, each followed by a line of attributes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "mapfile/format_evidence.h"
#include "mapfile/section_line_matcher.h"

namespace tarvel {

// Whether the line is a section line of any of the section-map formats; gives its fields.
bool is_any_section_line(std::string_view line, section_line_fields& fields);

// A section table counts only where it agrees over the lines read: every section line is
// followed by an attribute line that is no section line itself. Other listings with numbers in
// columns (the tables of lld, armlink or TI linkers) match the section-line pattern on line
// after line, and are thereby told apart. A format whose sign `on_section` shows on the section
// line of a complete pair, or whose sign `on_line` shows on any line, is then found with
// strength `rank`.
class c_section_table_evidence : public c_format_evidence {
  public:
    using section_sign = bool (*)(std::string_view line, const section_line_fields& fields);
    using line_sign = bool (*)(std::string_view line);

    c_section_table_evidence(int rank, section_sign on_section, line_sign on_line = nullptr)
        : rank_(rank), on_section_(on_section), on_line_(on_line) {}

    bool proves(std::size_t number, std::string_view line) override;
    int strength() const override;

  private:
    int rank_;
    section_sign on_section_;
    line_sign on_line_;
    bool pending_ = false;       // a section line waits for its attribute line
    bool pending_sign_ = false;  // and showed the sign
    std::size_t pairs_ = 0;      // section lines with their attribute lines
    std::size_t clashes_ = 0;    // section lines followed by another section line
    bool signed_ = false;
};

}  // namespace tarvel
