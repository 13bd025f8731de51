// The lines of the map that LLVM's lld writes with -Map: one table, headed
//
//        VMA      LMA     Size Align Out     In      Symbol
//    8000000  8000000       64     4 .text                                 output section
//    8000000  8000000       24     2         main.o:(.text.main)           input section
//    8000001  8000001       24     1                 main                  symbol
//    800004c  800004c       18     2         libh.a(helper.o):(.text)      archive member
//    800006c  800006c       10     4         <internal>:(.ARM.exidx)       made by the linker
//   20000400 20000400        0     1         _estack = .                   script command
//
// The numbers are hexadecimal but for the alignment, which is decimal; addresses take 16 digits
// for 64-bit targets. The text after them is indented by 8 per level: output sections and
// commands outside them, input sections and commands inside them, symbols. lld before version 7
// wrote no LMA column ("Address Size Align Out In Symbol").
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::lld {

enum class columns {
    none,         // not the table's heading
    vma_lma,      // "VMA LMA Size Align Out In Symbol"
    address_only  // "Address Size Align Out In Symbol"
};

// The table's heading line, by its words.
columns heading_of(std::string_view line);

enum class line_kind {
    output_section,
    input_section,
    other,  // a symbol, or a command of the linker script (an assignment, a data statement)
};

struct map_line {
    line_kind kind = line_kind::other;
    std::uint64_t address = 0;
    std::uint64_t load_address = 0;  // the address when the map has no LMA column
    std::uint64_t size = 0;
    std::string_view name;  // the output or input section's name
    std::string_view file;  // of an input section: "main.o", "libh.a(helper.o)", "<internal>"
};

// Reads a line of the table; false for a line that is none (empty lines included).
bool read_line(std::string_view line, columns layout, map_line& parsed);

// Whether the line holds nothing but white space.
bool is_blank(std::string_view line);

// The heading of the cross reference table (--cref) that may follow: "Symbol  File".
bool is_cross_reference_heading(std::string_view line);

}  // namespace tarvel::lld
