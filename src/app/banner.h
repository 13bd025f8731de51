// The start-up banner: program file name, version and build date, and the legal notice, all
// taken from the program file's own version information.
#pragma once

#include <string>

namespace tarvel {

// The date of the build ("Mar 17 2023"), made once.
const std::string& build_date();

// Reads the version information of `program_path` and, when it has any, writes the two banner
// lines and an empty line to standard output (when `print` is set) and gives the two lines
// back in `out_text` (when given). Without version information nothing happens.
void print_banner(const std::string& program_path, bool print, std::string* out_text = nullptr);

}  // namespace tarvel
