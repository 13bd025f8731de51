// Runs the built program in a chosen directory and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

struct process_result {
    int exit_code = 0;  // as the operating system reports it (POSIX: 0..255)
    std::string output;  // standard output
};

// Runs `program` with `arguments` (argv[0] is `argv0`, the program path when empty) in the
// directory `directory`, and waits for it.
process_result run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& directory, const std::string& argv0 = "");

// The built tarvel executable.
inline std::string tarvel_executable() { return TARVEL_EXE; }

// The process exit status that a run's return value shows as (-1 is 255 on POSIX).
int exit_status(int code);

}  // namespace tarvel::test
