// End-to-end tests of LLVM lld maps: the bundled example (built with clang and lld) gives the
// figures of its ELF file's section headers in tarvel and tarvel-report, broken down by object
// file and archive, with the areas of a definition file or of the linker script's MEMORY.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "support/example_run.h"
#include "support/report_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

// llvm-readelf -S of the example's program: .vectors 0x8, .ARM.exidx 0x10, .text 0x94,
// .rodata 0x7 and the load image of .data 0x20 in flash; .data 0x20, .bss 0x24 and .stack 0x404
// in RAM.
constexpr long long flash_used = 0x8 + 0x10 + 0x94 + 0x7 + 0x20;
constexpr long long ram_used = 0x20 + 0x24 + 0x404;

const std::string example_report = report_head +
                                   "RAM area: \n"
                                   "Total:    14336\n"
                                   "Pct Used:   7.6%\n"
                                   "Free:     13240\n"
                                   "Used:     1096\n"
                                   "\n"
                                   "ROM area: \n"
                                   "Total:    65536\n"
                                   "Pct Used:   0.3%\n"
                                   "Free:     65325\n"
                                   "Used:     211\n"
                                   "\n"
                                   "\n"
                                   "  Prg seg0:     Used         211, Free       65325, Total      "
                                   "65536, Pct Used:   0.3%\n"
                                   "\n"
                                   "Program breakdown:\n"
                                   "148 : 70% , Search = text \n"
                                   "39 : 18% , Search = |rodata |data \n"
                                   "24 : 11% , Search = |ARM |vectors \n"
                                   "---------------------------------------\n"
                                   "211\tAccounted for in search: 100%\n"
                                   "\n";

TEST(LldRun, TarvelGivesTheFiguresOfTheElf) {
    static_assert(flash_used == 211 && ram_used == 1096);
    expect_bundled_example_report("Lld", "lld", example_report, "");
}

class LldReport : public ::testing::Test {
  protected:
    LldReport() {
        copy_example(dir, "lld");
        std::filesystem::copy_file(
            std::filesystem::path(TARVEL_SOURCE_DIR) / "examples" / "lld" / "src" / "memory.x",
            dir.path() / "memory.x");
    }

    nlohmann::json json_of(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"--map", "lld/application.map", "--format", "json"});
        const process_result result = run_report(dir, all);
        EXPECT_EQ(result.exit_code, 0) << result.error_output;
        return nlohmann::json::parse(result.output);
    }

    c_temp_dir dir;
};

TEST_F(LldReport, DetectedAndReadWithADefinition) {
    const nlohmann::json report = json_of({"--def", "lld/target.def"});
    EXPECT_EQ(report.at("input").at("type"), "Lld");
    EXPECT_EQ(report.at("input").at("detected"), true);
    EXPECT_EQ(report.at("rom").at("used"), flash_used);
    EXPECT_EQ(report.at("ram").at("used"), ram_used);
}

TEST_F(LldReport, TheLinkerScriptsRegionsAreTheAreas) {
    const nlohmann::json report = json_of({"--ld-script", "memory.x"});
    const nlohmann::json& areas = report.at("areas");
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[0].at("name"), "FLASH");
    EXPECT_EQ(areas[0].at("kind"), "program");
    EXPECT_EQ(areas[0].at("size"), 64 * 1024);
    EXPECT_EQ(areas[0].at("used"), flash_used);
    EXPECT_EQ(areas[1].at("name"), "RAM");
    EXPECT_EQ(areas[1].at("kind"), "ram");
    EXPECT_EQ(areas[1].at("size"), 14 * 1024);  // LENGTH = 16K - 2K
    EXPECT_EQ(areas[1].at("used"), ram_used);
    EXPECT_EQ(report.at("input").at("definition"), "memory.x");
    // The kinds come from the attribute letters, and the report says so, as for a map's regions.
    EXPECT_EQ(areas[0].at("kind_from"), "attributes");
    EXPECT_EQ(areas[1].at("kind_from"), "attributes");
}

TEST_F(LldReport, AScriptRegionWithoutLettersTakesItsKindFromItsName) {
    dir.write("plain.x",
              "MEMORY {\n  RAM : ORIGIN = 0x20000000, LENGTH = 14K\n"
              "  FLASH : ORIGIN = 0x08000000, LENGTH = 64K\n}\n");
    const nlohmann::json report = json_of({"--ld-script", "plain.x"});
    const nlohmann::json& areas = report.at("areas");
    ASSERT_EQ(areas.size(), 2u);
    EXPECT_EQ(areas[0].at("name"), "FLASH");
    EXPECT_EQ(areas[0].at("kind_from"), "name");
    EXPECT_EQ(areas[0].at("used"), flash_used);
    EXPECT_EQ(areas[1].at("name"), "RAM");
    EXPECT_EQ(areas[1].at("kind_from"), "name");
    const process_result text =
        run_report(dir, {"--ld-script", "plain.x", "--map", "lld/application.map"});
    EXPECT_NE(text.output.find("FLASH: program, by name"), std::string::npos) << text.output;
}

TEST_F(LldReport, ABadLinkerScriptIsNamedWithItsLine) {
    dir.write("bad.x", "MEMORY\n{\n  FLASH : ORIGIN = 0, LENGTH = LENGTH(ROM)\n}\n");
    const process_result result =
        run_report(dir, {"--ld-script", "bad.x", "--map", "lld/application.map"});
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.error_output,
              native_lines("tarvel-report: bad.x line 3: unknown region 'ROM' in LENGTH(ROM)\n"));
    const process_result missing =
        run_report(dir, {"--ld-script", "none.x", "--map", "lld/application.map"});
    EXPECT_EQ(missing.exit_code, 3);
    EXPECT_EQ(
        missing.error_output,
        native_lines("tarvel-report: cannot read the linker script 'none.x': no such file\n"));
}

TEST_F(LldReport, ProgramMemoryByObjectFileAndArchive) {
    const process_result result =
        run_report(dir, {"--def", "lld/target.def", "--map", "lld/application.map", "--by",
                         "object", "--format", "markdown"});
    ASSERT_EQ(result.exit_code, 0) << result.error_output;
    for (const char* row : {"| main.o | 115 | 36 |", "| libcheck.a(checksum.o) | 60 | 32 |",
                            "| startup.o | 18 | 0 |", "| &lt;internal&gt; | 16 | 0 |"}) {
        EXPECT_NE(result.output.find(row), std::string::npos) << row << "\n" << result.output;
    }
    const process_result archives =
        run_report(dir, {"--def", "lld/target.def", "--map", "lld/application.map", "--by",
                         "archive", "--format", "markdown"});
    EXPECT_NE(archives.output.find("| libcheck.a | 60 | 32 |"), std::string::npos)
        << archives.output;
}

}  // namespace
}  // namespace tarvel::test
