// Turns an input file argument into a path that names something that exists.
#pragma once

#include <string>

#include "text/input_result.h"

namespace tarvel {

// The program's directory: its own path cut after the last backslash (backslash included);
// empty when the path holds none.
std::string program_directory(const std::string& program_path);

// Why an input argument names nothing.
enum class input_path_problem {
    invalid_path,  // the path starts with a drive and names nothing
    not_found,     // the program directory followed by the path names nothing
};

// The path to use for the argument `path`.
c_result<std::string, input_path_problem> resolve_input_path(const char* path,
                                                             const std::string& program_dir);

}  // namespace tarvel
