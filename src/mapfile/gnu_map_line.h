// The lines of a GNU ld map file (-Map), classified by their indentation and the numbers they
// hold. ld writes each kind at a fixed indentation:
//
//   .text           0x08000040      0x400                output section (column 1), values
//   .ARM.exidx                                           ... or the name alone: the values, if
//                   0x08000484        0x0               any, follow on the next line
//    .text.crc16    0x080003ec       0x44 libhal.a(crc.o) input section (one blank), values
//    .text.Reset_Handler                                 ... or the name alone, values next
//                   0x080001d0       0x50 startup.o
//    *fill*         0x080001ce        0x2                padding
//    *(.text*)                                           input section statement (pattern)
//                   0x080001d0                Reset_Handler            symbol
//                   0x08000040                        . = ALIGN (0x4)  assignment
//                   0x08000000        0x4 LONG 0x20005000              data statement
//                                     0x27 (size before relaxing)      note on a merged section
//
// Numbers are "0x" and 8 hexadecimal digits on 32-bit hosts or 16 on 64-bit ones.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::gnu {

// The parts of the map that ld begins with a heading line in column 1.
enum class heading {
    none,                  // not a heading
    archive_members,       // "Archive member included to satisfy reference by file (symbol)"
    common_symbols,        // "Allocating common symbols"
    discarded,             // "Discarded input sections"
    memory_configuration,  // "Memory Configuration"
    memory_map,            // "Linker script and memory map"
    cross_reference,       // "Cross Reference Table"
    other_preamble         // another listing before the memory map (as-needed libraries...)
};

heading heading_of(std::string_view line);

// "0x" followed by 1 to 16 hexadecimal digits, the whole token.
bool read_hex_token(std::string_view token, std::uint64_t& value);

// An address and a size, as "0x... 0x..." followed by the rest of the line (trimmed).
struct address_size {
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    std::string_view rest;
};

// Reads "0xADDRESS <blanks> 0xSIZE [<blanks> rest]" from the start of `text` (after white
// space); false when the text does not begin so.
bool read_address_size(std::string_view text, address_size& values);

// The load address of an output section's value text "load address 0x...".
bool read_load_address(std::string_view rest, std::uint64_t& address);

enum class line_kind {
    other,           // blank, heading, symbol, assignment, pattern, LOAD ... and the like
    output_section,  // a name in column 1, with or without values
    input_section,   // a name after one blank, with or without values
    values,          // indented values without a name: the continuation of a name alone, or a
                     // data statement
};

struct map_line {
    line_kind kind = line_kind::other;
    std::string_view name;  // output or input section name
    bool has_values = false;
    address_size values;
};

// Classifies a line of the "Linker script and memory map" part.
map_line classify(std::string_view line);
// The same for a line of any shape: classify takes a shortcut for the lines that ld on a 64-bit
// host prints at fixed places, and gives what this gives.
map_line classify_any(std::string_view line);

}  // namespace tarvel::gnu
