// Turns an input file argument into a path that names something that exists.
#pragma once

#include <string>

namespace tarvel {

// The program's directory: its own path cut after the last backslash (backslash included);
// empty when the path holds none.
std::string program_directory(const std::string& program_path);

// 0: `resolved` holds the path to use. -1: the path starts with a drive and names nothing.
// -2: the program directory followed by the path names nothing. `resolved` is empty on failure.
int resolve_input_path(std::string& resolved, const char* path, const std::string& program_dir);

}  // namespace tarvel
