// The EEPROM analysis of a `tarvel` run: printed after the memory report when a fourth
// argument is given.
#pragma once

#include <iostream>
#include <string>

namespace tarvel {

// Reads the EEPROM project source file and prints the EEPROM report. Returns true when the
// report was printed, false after printing a failure message to `out`.
bool analyze_eep_size(const std::string& eep_file_name, std::ostream& out = std::cout);

}  // namespace tarvel
