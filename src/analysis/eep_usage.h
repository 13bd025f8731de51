// The EEPROM usage that the four sizes of the EEPROM project source file give.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "eep/eep_file.h"
#include "text/input_result.h"

namespace tarvel {

// One block of the EEPROM report. Sums wrap modulo 2^32 like the sizes they are made of.
struct eep_block {
    std::uint32_t total = 0;
    std::uint32_t used = 0;
    std::uint32_t free = 0;
    double percent = 0;
};

struct eep_usage {
    eep_block all;     // once data and the three copies of the triple data
    eep_block once;    // once data
    eep_block triple;  // the three copies of the triple data
};

eep_usage compute_eep_usage(const eep_data_sizes& sizes);

// Why the EEPROM project source file gave no usage.
enum class eep_problem { no_file_name, invalid_file, file_end };

// Reads the EEPROM project source file. The reader's own "File end" line goes to `out` when the
// file ends before the last value.
c_result<eep_usage, eep_problem> read_eep_usage(const std::string& eep_file_name,
                                                std::ostream& out);

}  // namespace tarvel
