// The reader of the EEPROM project source file: a generated source text in which four symbols
// give the used and the free size of the once data and of the triple data.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "mapfile/map_file.h"

namespace tarvel {

// The four sizes the EEPROM project source file states. Triple data is stored three times;
// the file gives the size of one copy.
struct eep_data_sizes {
    std::uint32_t once_data_size = 0;
    std::uint32_t triple_data_size = 0;
    std::uint32_t once_data_free = 0;
    std::uint32_t triple_data_free = 0;
};

// Uses the map reader base only for opening and closing the file; `parse` is never called on
// it. The sizes are read with `read_sizes`.
class c_eep_file : public c_map_file {
  public:
    using c_map_file::c_map_file;

    // Fills `sizes` from the file. A key line names one of the four symbols and holds no comma
    // (a comma means a declaration listing several symbols); the line after it holds the value
    // in hexadecimal from its fifth character on. The first line of the file is a header and is
    // never examined. Returns true once the triple-data-free value was read. Returns false when
    // the file is not open, or, after printing "File end" to `out`, when the file ran out (or
    // 20 empty lines came in a row) before that.
    bool read_sizes(eep_data_sizes& sizes, std::ostream& out = std::cout);

  private:
    // The next line; at the end of the file every further read gives an empty line.
    std::string_view read_line();
};

}  // namespace tarvel
