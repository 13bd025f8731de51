// Recognises the section lines of section maps: a decimal section number, the section name,
// the size and the address in hexadecimal, and the rest of the line, each separated by white
// space, the whole line matching.
//
// The accepted lines and the fields are exactly those of the ECMAScript regular expression
// that `pattern_text` gives, matched against the whole line; the hand-written matcher exists
// because a backtracking regex engine is slow on the bulk of a large map and recurses once per
// character, which exhausts the stack on very long lines.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct section_line_fields {
    std::string_view name;     // the name token as the entry records it
    std::string_view size;     // hexadecimal digits
    std::string_view address;  // hexadecimal digits
};

class c_section_line_matcher {
  public:
    virtual ~c_section_line_matcher() = default;

    // True when the whole line is a section line; the fields then point into `line`.
    virtual bool match(std::string_view line, section_line_fields& fields) const = 0;

    // The equivalent ECMAScript pattern.
    const std::string& pattern_text() const { return pattern_; }

  protected:
    explicit c_section_line_matcher(std::string pattern) : pattern_(std::move(pattern)) {}

    // The part that every section line begins with: optional white space, the section number,
    // white space. Gives the bounds of that last white-space run.
    static bool match_number(std::string_view line, std::size_t& blanks_begin,
                             std::size_t& blanks_end);

    // The part that follows the name at `pos`: white space, size, white space, address, white
    // space and any text without a line-end character up to the end of the line.
    static bool match_tail(std::string_view line, std::size_t pos, section_line_fields& fields);

  private:
    std::string pattern_;
};

// Section lines whose name token is any one character followed by one of a list of names;
// earlier names of the list are tried first.
class c_section_name_list_matcher : public c_section_line_matcher {
  public:
    explicit c_section_name_list_matcher(const std::vector<std::string>& names);

    bool match(std::string_view line, section_line_fields& fields) const override;

  private:
    std::vector<std::string> names_;
    // For each first character, the positions (in list order) of the names that begin with it.
    std::array<std::vector<std::size_t>, 256> by_first_char_;
};

// Section lines whose name is spelled with letters, digits, "_" and ".", optionally in
// brackets; the name token leaves out the brackets and one leading dot.
class c_section_any_name_matcher : public c_section_line_matcher {
  public:
    c_section_any_name_matcher();

    bool match(std::string_view line, section_line_fields& fields) const override;
};

}  // namespace tarvel
