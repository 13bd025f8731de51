// The map formats tarvel reads: one row per format, the one list that creating a reader, format
// detection, the command-line help, the messages and the tests take the formats from.
//
// A new format needs its reader class (src/mapfile/map_file_<name>.*), with a static
// `evidence()` beside it, and one row in map_formats.cpp.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "mapfile/format_evidence.h"
#include "mapfile/map_file.h"
#include "text/text_source.h"

namespace tarvel {

struct map_format {
    // The type keyword of the command lines (compared exactly, case-sensitive).
    std::string_view keyword;
    // The format in plain words, for the help and the messages: "GNU ld map (-Map)".
    std::string_view description;
    // The reader, on the map's text.
    std::unique_ptr<c_map_file> (*create)(const text_source& map);
    // A fresh evidence object for one detection run.
    std::unique_ptr<c_format_evidence> (*evidence)();
    // How the format shortens addresses, for the hint when entries lie outside every area
    // ("keep only the low 26 bits of each address"); empty when addresses keep all their bits.
    std::string_view address_note;
};

// Every format, in the order of the help and of detection's tie-breaking.
std::span<const map_format> map_formats();

// The row of `keyword`, or null.
const map_format* find_map_format(std::string_view keyword);

// "Orca, Puma, ..., Otter": the keywords, for the help.
std::string map_format_keywords();

// "GNU ld map (-Map) (Gnu), ...": every format in plain words with its keyword, for messages.
std::string map_format_descriptions();

}  // namespace tarvel
