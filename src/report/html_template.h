// The HTML pages are templates with markers "@@name@@" where the renderer puts the page's
// styles, scripts and data; the template stays a plain HTML file in the repository.
#pragma once

#include <ostream>
#include <string_view>

namespace tarvel {

// Writes the template `page` with each marker "@@name@@" replaced by what `part` writes for
// the name. Text after an unpaired "@@" is written as it is.
template <typename part_writer>
void fill_html_template(std::ostream& out, std::string_view page, const part_writer& part) {
    constexpr std::string_view marker = "@@";
    for (;;) {
        const std::size_t open = page.find(marker);
        const std::size_t close =
            open == std::string_view::npos ? open : page.find(marker, open + marker.size());
        if (close == std::string_view::npos) {
            out << page;
            return;
        }
        out << page.substr(0, open);
        part(page.substr(open + marker.size(), close - open - marker.size()));
        page.remove_prefix(close + marker.size());
    }
}

}  // namespace tarvel
