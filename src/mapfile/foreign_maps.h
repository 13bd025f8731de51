// Maps of linkers whose format tarvel recognises but does not read, told by the banner or
// heading each linker prints near the top, so that such a map is named for what it is rather
// than taken for a format it only resembles.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvel {

// How many lines the banners are looked for in: each stands in the map's first lines.
inline constexpr std::size_t foreign_banner_lines = 1000;

// The linker whose banner the line is, in plain words ("IAR XLINK"); empty for any other line.
std::string_view foreign_linker_of(std::string_view line);

}  // namespace tarvel
