// tarvel-report on the maps of the real Arm and AVR builds, as a new user runs it: no type and
// no definition file. The format is detected, the linker's memory regions are the areas, and
// ROM and RAM are what the toolchain's `size -B` says (text + data, data + bss); the breakdown
// by object file adds up to the same figures.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>

#include "support/process.h"
#include "support/temp_dir.h"
#include "support/toolchain_maps.h"

namespace tarvel::test {
namespace {

class ReportToolchainRun : public ::testing::TestWithParam<std::string> {};

TEST_P(ReportToolchainRun, DetectedGnuMapWithItsOwnRegionsGivesTheFiguresOfSize) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const berkeley_size size = program_size(build);
    const c_temp_dir dir;
    const process_result result =
        run_program(tarvel_report_executable(), {"--map", toolchain_map(build), "--format", "json"},
                    dir.path());
    ASSERT_EQ(result.exit_code, 0) << result.error_output;
    const nlohmann::json report = nlohmann::json::parse(result.output);
    EXPECT_EQ(report["input"]["type"], "Gnu");
    EXPECT_EQ(report["input"]["detected"], true);
    EXPECT_TRUE(report["input"]["definition"].is_null());
    EXPECT_EQ(report["rom"]["used"], size.rom()) << build;
    EXPECT_EQ(report["ram"]["used"], size.ram()) << build;

    // Areas carry the regions' names; the objects add up to ROM and RAM.
    for (const auto& area : report["areas"]) {
        EXPECT_FALSE(area["name"].get<std::string>().starts_with("Prg seg")) << area;
    }
    std::uint64_t program = 0;
    std::uint64_t ram = 0;
    for (const auto& row : report["breakdowns"]["object"]) {
        program += row["program"].get<std::uint64_t>();
        ram += row["ram"].get<std::uint64_t>();
    }
    EXPECT_EQ(program, size.rom()) << build;
    EXPECT_EQ(ram, size.ram()) << build;
}

TEST_P(ReportToolchainRun, TextReportNamesTheDetectedTypeAndListsObjects) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const c_temp_dir dir;
    const process_result result = run_program(
        tarvel_report_executable(), {"--map", toolchain_map(build), "--by", "object"}, dir.path());
    ASSERT_EQ(result.exit_code, 0) << result.error_output;
    std::string first_line = result.output.substr(0, result.output.find('\n'));
    if (!first_line.empty() && first_line.back() == '\r') {
        first_line.pop_back();
    }
    EXPECT_EQ(first_line, "Gnu map " + toolchain_map(build) + " (type detected)");
    EXPECT_NE(result.output.find("By object file ("), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(RealBuilds, ReportToolchainRun, ::testing::ValuesIn(toolchain_builds()));

}  // namespace
}  // namespace tarvel::test
