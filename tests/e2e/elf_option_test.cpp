// tarvel-report --elf on the matrix of real builds: with the build's own ELF file as a second
// witness, every region's "used" figure is what the ELF's section headers occupy; a damaged,
// empty or foreign ELF file ends the run with exit 3, a message naming it, and no file written.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <string>

#include "support/elf_matrix.h"
#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

class ElfOptionRun : public ::testing::TestWithParam<std::string> {};

TEST_P(ElfOptionRun, EachRegionUsesWhatTheElfSectionsOccupy) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const std::optional<elf::elf_image> image = read_elf_file(toolchain_elf(build));
    ASSERT_TRUE(image);
    const std::vector<gnu::memory_region> regions = map_regions(read_text(toolchain_map(build)));
    const std::vector<std::uint64_t> truth = elf_region_usage(*image, regions);

    const c_temp_dir dir;
    const process_result result = run_program(
        tarvel_report_executable(),
        {"--map", toolchain_map(build), "--elf", toolchain_elf(build).string(), "--format", "json"},
        dir.path());
    if (result.exit_code == 2) {
        GTEST_SKIP() << build << ": --elf reads Gnu maps only: " << result.error_output;
    }
    // Exit 1: a region overflows (arm_overflow), which the report shows all the same.
    ASSERT_LE(result.exit_code, 1) << build << ": " << result.error_output;
    const nlohmann::json report = nlohmann::json::parse(result.output);
    std::map<std::string, std::uint64_t> used;
    std::uint64_t total = 0;
    for (const auto& area : report["areas"]) {
        used[area["name"].get<std::string>()] = area["used"].get<std::uint64_t>();
        total += area["used"].get<std::uint64_t>();
    }
    used["*default*"] = total;  // a map without regions: the whole address space
    for (std::size_t i = 0; i < regions.size(); ++i) {
        EXPECT_EQ(used[regions[i].name], truth[i]) << build << " " << regions[i].name;
    }
}

INSTANTIATE_TEST_SUITE_P(RealBuilds, ElfOptionRun, ::testing::ValuesIn(elf_matrix_builds()));

struct bad_elf {
    const char* file;
    std::string bytes;  // written to `file` unless it is "."
    std::string message;
};

TEST(ElfOptionBadInput, EndsWithExit3NamingTheFileAndLeavesEarlierOutputAlone) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string map = toolchain_map("arm_flash_ram");
    const std::vector<std::uint8_t> real = read_bytes(toolchain_elf("arm_flash_ram"));
    const std::string cut(real.begin(), real.begin() + 40);
    const std::string foreign = toolchain_elf("arm_flash_at_zero").string();
    const bad_elf cases[] = {
        {"text.elf", "not an ELF file\n",
         "tarvel-report: the ELF file 'text.elf' is damaged: no ELF magic number (at byte 0)\n"},
        {"empty.elf", "",
         "tarvel-report: the ELF file 'empty.elf' is damaged: file too short for an ELF "
         "identification (0 bytes) (at byte 0)\n"},
        {"cut.elf", cut, ""},
        {".", "", "tarvel-report: cannot read the ELF file '.': it is a directory\n"},
    };
    for (const bad_elf& bad : cases) {
        const c_temp_dir dir;
        if (std::string(bad.file) != ".") {
            std::ofstream(dir.path() / bad.file, std::ios::binary) << bad.bytes;
        }
        std::ofstream(dir.path() / "out.json") << "earlier";
        const process_result result =
            run_program(tarvel_report_executable(),
                        {"--map", map, "--elf", bad.file, "--json", "out.json"}, dir.path());
        EXPECT_EQ(result.exit_code, 3) << bad.file;
        if (!bad.message.empty()) {
            EXPECT_EQ(result.error_output, native_lines(bad.message));
        } else {
            EXPECT_EQ(
                result.error_output.rfind("tarvel-report: the ELF file 'cut.elf' is damaged: ", 0),
                0u)
                << result.error_output;
        }
        EXPECT_EQ(read_text(dir.path() / "out.json"), "earlier") << bad.file;
        EXPECT_TRUE(result.output.empty());
    }

    const c_temp_dir dir;
    const process_result other =
        run_program(tarvel_report_executable(), {"--map", map, "--elf", foreign}, dir.path());
    EXPECT_EQ(other.exit_code, 3);
    EXPECT_EQ(other.error_output,
              native_lines("tarvel-report: the ELF file '" + foreign +
                           "' is of another build than the map '" + map +
                           "': the output section '.text' is at 0x8000040 in the map and at 0x0 "
                           "in the ELF\n"));
}

}  // namespace
}  // namespace tarvel::test
