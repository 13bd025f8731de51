// The lines of the map that TI's linkers write (TI ARM armcl, TI ARM Clang tiarmclang, MSP430
// cl430; one layout) that Tarvel reads:
//
//   MEMORY CONFIGURATION                                               part heading
//            name            origin    length      used     unused   attr    fill
//   ----------------------  --------  ---------  --------  --------  ----  --------
//     FLASH                 00000000   00040000  00000d2e  0003f2d2  R  X
//   SECTION ALLOCATION MAP                                             part heading
//   .text      0    0000026c    000009da                               output section
//                     0000026c    00000238     main.obj (.text)        input section
//                     000004a4    00000030     rtsv7M4_T_le_eabi.lib : memcpy_t2.asm.obj (.text)
//                     000004d4    00000020                           : memset_t2.asm.obj (.text)
//                     000004f4    00000002     --HOLE-- [fill = 0]
//   .bss       0    20000000    00000018     UNINITIALIZED
//   .TI.ramfunc                                                        a long name stands alone
//   *          0    00000c00    00000040     RUN ADDR = 20000200
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::ti {

enum class part { none, memory_configuration, section_allocation, other };

// The part that a heading line begins; none for any other line. Every heading of the map
// ("SEGMENT ALLOCATION MAP", "GLOBAL SYMBOLS: ...", "LINKER GENERATED COPY TABLES", ...) ends
// the part before it.
part part_of_heading(std::string_view line);

struct memory_region {
    std::string_view name;
    std::uint32_t origin = 0;
    std::uint32_t length = 0;
    std::uint32_t used = 0;
    std::string_view attributes;  // "R  X", "RW X", "RWIX"
};

// A row of the memory configuration: name, origin, length, used, unused (hexadecimal), and
// the attributes; false for the column headings, "PAGE 0:" lines and anything else.
bool read_region_line(std::string_view line, memory_region& region);

enum class allocation { loaded, uninitialized, not_allocated };

struct output_section {
    std::string_view name;  // empty when it stood alone on the line before ("*" in its place)
    std::uint32_t origin = 0;
    std::uint32_t length = 0;
    allocation kind = allocation::loaded;
    bool has_run_address = false;  // "RUN ADDR = x": origin is the load address
    std::uint32_t run_address = 0;
    bool has_load_address = false;  // "LOAD ADDR = x": origin is the run address
    std::uint32_t load_address = 0;
};

enum class line_kind { output_section, name_alone, input_section, other };

struct input_section {
    std::uint32_t address = 0;
    std::uint32_t length = 0;
    std::string_view library;   // "rtsv7M4_T_le_eabi.lib"; empty when none is named
    bool same_library = false;  // ": file.obj (...)": the library of the line before
    std::string_view object;    // "main.obj"; empty for holes and the linker's own tables
    std::string_view section;   // ".text", "--HOLE--", ".common:g_x", "__TI_handler_table"
};

// Classifies one line of the section allocation map. Output sections begin in column 1, input
// sections are indented.
line_kind read_allocation_line(std::string_view line, output_section& output, input_section& input);

}  // namespace tarvel::ti
