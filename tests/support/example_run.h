// Runs the bundled examples end to end and compares what they print and write.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {

// Copies the bundled example examples/<folder> into `dir`, so that the ambiguity file written
// beside its map lands there, and runs `type <folder>/target.def <folder>/application.map`
// followed by `more` arguments in `dir`.
inline process_result run_bundled_example(const c_temp_dir& dir, const std::string& type,
                                          const std::string& folder,
                                          const std::vector<std::string>& more = {}) {
    std::filesystem::copy(std::filesystem::path(TARVEL_SOURCE_DIR) / "examples" / folder,
                          dir.path() / folder);
    std::vector<std::string> arguments{type, folder + "/target.def", folder + "/application.map"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return run_program(tarvel_executable(), arguments, dir.path());
}

// Runs the bundled example in a fresh directory and expects success, the banner followed by
// `report` on standard output, and `ambiguities` in the ambiguity file beside the map.
inline void expect_bundled_example_report(const std::string& type, const std::string& folder,
                                          const std::string& report,
                                          const std::string& ambiguities) {
    const c_temp_dir dir;
    const process_result result = run_bundled_example(dir, type, folder);
    EXPECT_EQ(result.exit_code, 0) << type;
    EXPECT_EQ(result.output, native_lines(banner_text() + report)) << type;
    EXPECT_EQ(dir.read(folder + "/Tarvel.amb"), native_lines(ambiguities)) << type;
}

}  // namespace tarvel::test
