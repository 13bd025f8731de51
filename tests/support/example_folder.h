// Where the bundled example of a map format lies.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace tarvel::test {

// examples/<keyword in lower case>/ holds application.map and target.def of each format.
inline std::string example_folder(std::string_view keyword) {
    std::string folder(keyword);
    for (char& c : folder) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folder;
}

}  // namespace tarvel::test
