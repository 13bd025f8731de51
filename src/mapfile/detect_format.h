// Tells which of the map formats a map file is written in, from the evidence near its start,
// for a user who does not know the type keyword.
#pragma once

#include <cstddef>
#include <string>

#include "text/text_source.h"

namespace tarvel {

// How many lines the detection reads at most. Headings and section tables stand near the
// start of every format; the limit is what a reader takes in a small fraction of a second,
// and it reaches past the section table of a Wren map to the stack symbols that follow it
// in all but very large maps (a Wren map also has its ".data_begin" section in the table).
inline constexpr std::size_t detect_line_limit = 100000;

struct detected_format {
    std::string keyword;  // the type keyword, empty when no format that is read fits
    // The linker of a format that is recognised but not read ("IAR XLINK"); empty otherwise.
    std::string foreign_linker;
    // The formats looked for, in plain words with their keywords, for a message when none fits.
    std::string looked_for;
};

// Reads up to `line_limit` lines of the map and feeds each to the evidence of every format of
// the registry (map_formats.h), and, in the first lines, to the banners of the formats that
// are recognised but not read (foreign_maps.h). The first line that proves a format decides,
// a registry format before a banner on the same line. Without such a line the strongest
// evidence decides (the section-map formats), the earlier row on a tie; with none, no format.
detected_format detect_format(const text_source& map, std::size_t line_limit = detect_line_limit);

}  // namespace tarvel
