// The lines of an image-summary map ("Otter"), as some embedded toolchains write it: tables
// under repeated "Load Map <date>" title lines.
//
//   Section    Base      Size(hex)  Size(dec)  SecOffs    Image Summary heading
//   .text      000007f0  00000f20   3872       00000b00   section: base, size, size, offset
//   Origin+Size      Section  Module                      Module Summary heading
//   000007f0+000128  .text    crt0.o                      piece of a section from a module
//   .text    00001706+000000  _RESET                      Global Symbols line
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvel::otter {

enum class table { none, image_summary, module_summary, global_symbols };

// The table that a heading line begins ("Global Symbols" is a title), or none. A "Load Map"
// title line ends the table before it: `ends_table`.
table table_of_heading(std::string_view line);
bool ends_table(std::string_view line);

// A line of nothing but blanks, as between the tables.
bool is_blank(std::string_view line);

struct image_section {
    std::string_view name;
    std::uint32_t base = 0;
    std::uint32_t size = 0;  // the hexadecimal size; the decimal column repeats it
};

// A line of the Image Summary: name, base and size in hexadecimal (up to 8 digits), size in
// decimal, file offset in hexadecimal.
bool read_image_line(std::string_view line, image_section& section);

struct module_piece {
    std::uint32_t origin = 0;
    std::uint32_t size = 0;
    std::string_view section;
    std::string_view module;  // "crt0.o" or "libx.a(member.o)"; empty when none is named
};

// A line of the Module Summary: "origin+size" in hexadecimal, section name, module.
bool read_module_line(std::string_view line, module_piece& piece);

}  // namespace tarvel::otter
