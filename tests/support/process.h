// Runs the built program in a chosen directory and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tarvel::test {

struct process_result {
    int exit_code = 0;         // as the operating system reports it (POSIX: 0..255)
    std::string output;        // standard output
    std::string error_output;  // standard error
};

// Runs `program` with `arguments` (argv[0] is `argv0`, the program path when empty) in the
// directory `directory`, and waits for it. On Windows an empty `argv0` stands for the program's
// bare file name, as when it is started through PATH: the program then takes relative arguments
// from `directory`, as it does on POSIX, where its path holds no backslash.
process_result run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& directory, const std::string& argv0 = "");

// The built tarvel and tarvel-report executables.
#ifdef _WIN32
// The build's paths in the Windows form (under Wine: "Z:\...").
std::string tarvel_executable();
std::string tarvel_report_executable();
#else
inline std::string tarvel_executable() {
    return TARVEL_EXE;
}
inline std::string tarvel_report_executable() {
    return TARVEL_REPORT_EXE;
}
#endif

// The process exit status that a run's return value shows as (-1 is 255 on POSIX, -1 on
// Windows).
int exit_status(int code);

}  // namespace tarvel::test
