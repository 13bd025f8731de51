// End-to-end runs of `tarvel Gnu <def> <map>` on the maps of the real Arm and AVR builds, with a
// definition file of each linker script's regions: the report's ROM and RAM "Used:" figures are
// those of the toolchain's `size -B` (text + data, data + bss).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"
#include "support/toolchain_maps.h"

namespace tarvel::test {
namespace {

// The "Used:" figure that follows the heading `area` ("RAM area:", "ROM area:").
long used_after(const std::string& output, const std::string& area) {
    std::istringstream lines(output);
    std::string line;
    bool in_area = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind(area, 0) == 0) {
            in_area = true;
        } else if (in_area && line.rfind("Used:", 0) == 0) {
            return std::stol(line.substr(5));
        }
    }
    return -1;
}

class GnuToolchainRun : public ::testing::TestWithParam<std::string> {};

TEST_P(GnuToolchainRun, ReportShowsTheFiguresOfSize) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const berkeley_size size = program_size(build);
    ASSERT_GT(size.text, 0u);
    const c_temp_dir dir;
    const process_result result = run_program(
        tarvel_executable(), {"Gnu", toolchain_def(build), toolchain_map(build)}, dir.path());
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(used_after(result.output, "ROM area:"), static_cast<long>(size.rom())) << build;
    EXPECT_EQ(used_after(result.output, "RAM area:"), static_cast<long>(size.ram())) << build;
}

INSTANTIATE_TEST_SUITE_P(RealBuilds, GnuToolchainRun, ::testing::ValuesIn(toolchain_builds()));

}  // namespace
}  // namespace tarvel::test
