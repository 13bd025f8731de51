// Runs the built tarvel-report end to end in a test directory, on small inputs written there
// or on copies of the bundled examples.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {

inline process_result run_report(const c_temp_dir& dir, const std::vector<std::string>& arguments) {
    return run_program(tarvel_report_executable(), arguments, dir.path());
}

// Copies examples/<folder> into `dir`; its files are then "<folder>/target.def" and so on.
inline void copy_example(const c_temp_dir& dir, const std::string& folder) {
    std::filesystem::copy(std::filesystem::path(TARVEL_SOURCE_DIR) / "examples" / folder,
                          dir.path() / folder);
}

// A small Puma input, "t.def" and "a.map": Prg seg0 (0x1000 bytes at 0) holds .text (0x300),
// .rodata (0x100) and a second .text (0x10); Ram seg0 (0x100 bytes) holds .bss (0x40); .data
// lies in no area. "text " is credited with the first .text, "|data |text " with .rodata, and
// .text is matched three times more.
inline void write_small_puma_input(const c_temp_dir& dir) {
    dir.write("t.def", "PROGRAM 0 1000\nMEMORY 3FF0000 100\nSEARCH text\nSEARCH |data |text\n");
    dir.write("a.map",
              "  1  .text  00000300  00000000  x\n  AX\n"
              "  2  .rodata  00000100  00000300  x\n  A\n"
              "  3  .bss  00000040  03FF0000  x\n  WA\n"
              "  4  .text  00000010  00000400  x\n  AX\n"
              "  5  .data  00000020  09000000  x\n  WA\n");
}

inline const std::vector<std::string> small_puma_arguments{"--type", "Puma",  "--def",
                                                           "t.def",  "--map", "a.map"};

// `small_puma_arguments` followed by `more`.
inline std::vector<std::string> small_puma_with(const std::vector<std::string>& more) {
    std::vector<std::string> arguments = small_puma_arguments;
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

// The names of the files in `dir`, sorted.
inline std::vector<std::string> files_in(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tarvel::test
