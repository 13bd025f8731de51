// The outcome of giving one line to a section-line matcher, in a form that tests can compare
// and print.
#pragma once

#include <ostream>
#include <string>

#include "mapfile/section_line_matcher.h"

namespace tarvel::test {

struct fields_found {
    bool matched = false;
    std::string name, size, address;
    bool operator==(const fields_found&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const fields_found& f) {
    return out << (f.matched ? "match" : "no match") << " [" << f.name << "] [" << f.size << "] ["
               << f.address << "]";
}

inline fields_found by_matcher(const c_section_line_matcher& matcher, const std::string& line) {
    section_line_fields fields;
    if (!matcher.match(line, fields)) {
        return {};
    }
    return {true, std::string(fields.name), std::string(fields.size), std::string(fields.address)};
}

}  // namespace tarvel::test
