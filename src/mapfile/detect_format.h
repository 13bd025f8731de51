// Tells which of the map formats a map file is written in, from the evidence near its start,
// for a user who does not know the type keyword.
#pragma once

#include <cstddef>
#include <string>

namespace tarvel {

// How many lines the detection reads at most. Headings and section tables stand near the
// start of every format; the limit is what a reader takes in a small fraction of a second,
// and it reaches past the section table of a Wren map to the stack symbols that follow it
// in all but very large maps (a Wren map also has its ".data_begin" section in the table).
inline constexpr std::size_t detect_line_limit = 100000;

struct detected_format {
    std::string keyword;     // the type keyword, empty when no format fits
    std::string looked_for;  // the evidence looked for, for a message when none fits
};

// Reads up to `line_limit` lines of the map and decides, in this order:
// - "Orca": the first line contains "Memory map".
// - "Gnu": a line "Memory Configuration" or "Linker script and memory map".
// - "Otter": an Image Summary heading "Section Base Size(hex) Size(dec) SecOffs" (or a Module
//   Summary heading "Origin+Size Section Module").
// Otherwise the section lines of the section-map formats (a section line followed by its
// attribute line) decide:
// - "Wren": a ".data_begin" section, or a "__stack_begin" or "__stack_end" symbol line.
// - "Ibex": a section that only the Ibex and Wren tables name ("data, initialized", "bsct",
//   "IpdEepRam", "vector", "const", ...).
// - "Puma_mem32_unlimited": a section of no name list (other than the debugging, ".comment"
//   and ".heap"-like sections that every section map has), a bracketed name, or an address
//   beyond 26 bits: one whose top six bits are neither all clear nor all set, which the 26-bit
//   addresses of "Puma" cannot stand for (the top of the address space is the 26-bit space's
//   own RAM window).
// - "Puma": section lines with Puma names only.
detected_format detect_format(const std::string& map_file_name,
                              std::size_t line_limit = detect_line_limit);

}  // namespace tarvel
