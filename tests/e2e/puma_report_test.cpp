// End-to-end tests of whole Puma runs: the exact report, the ambiguity file and the failure
// messages of the analysis with their exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/example_run.h"
#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PumaRun : public ::testing::Test {
  protected:
    process_result run(const std::vector<std::string>& arguments) {
        return run_program(tarvel_executable(), arguments, dir.path());
    }
    c_temp_dir dir;
};

TEST_F(PumaRun, BundledExampleGivesTheKnownReportAndAmbiguityFile) {
    const std::filesystem::path golden =
        std::filesystem::path(TARVEL_SOURCE_DIR) / "tests/e2e/golden";
    expect_bundled_example_report("Puma", "puma", read_file(golden / "puma_example.txt"),
                                  read_file(golden / "puma_example.amb"));
}

TEST_F(PumaRun, ReportWithOverfullAreaAndNoSearches) {
    dir.write("t.def", "PROGRAM 0 100\nPROGRAM 1000 1000\nMEMORY 3FF0000 40\n");
    dir.write("a.map",
              "  1  .text  000000C0  00000000  x\r\n  AX\r\n"
              "  4  .rodata  000000C0  00000040  x\r\n  A\r\n"
              "  2  .bss   00000010  FFFF0000  x\r\n  WA\r\n"
              "  3  .zbss  00000020  43FF0010  x\r\n  WA\r\n");
    const process_result result = run({"Puma", "t.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output, native_lines(banner_text() + report_head +
                                          "RAM area: \n"
                                          "Total:    64\n"
                                          "Pct Used:  75.0%\n"
                                          "Free:     16\n"
                                          "Used:     48\n"
                                          "\n"
                                          "ROM area: \n"
                                          "Total:    4352\n"
                                          "Pct Used:   8.8%\n"
                                          "Free:     3968\n"
                                          "Used:     384\n"
                                          "\n"
                                          "\n"
                                          "  Prg seg0:     Used         384, Free        -128, "
                                          "Total        256, Pct Used: 150.0%\n"
                                          "  Prg seg1:     Used           0, Free        4096, "
                                          "Total       4096, Pct Used:   0.0%\n"
                                          "\n"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Tarvel.amb"));
}

TEST_F(PumaRun, SearchesWithoutAmbiguityLeaveAnOldAmbiguityFileAlone) {
    dir.write("t.def", "PROGRAM 0 1000\nSEARCH text\nSEARCH |data |bss\n");
    dir.write("a.map", "1 .text 300 0 x\na\n2 .rodata 100 300 x\na\n");
    dir.write("Tarvel.amb", "from an earlier run\n");
    const process_result result = run({"Puma", "t.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    const std::string tail =
        "  Prg seg0:     Used        1024, Free        3072, Total       4096, Pct Used:  25.0%\n"
        "\n"
        "Program breakdown:\n"
        "768 : 75% , Search = text \n"
        "256 : 25% , Search = |data |bss \n"
        "---------------------------------------\n"
        "1024\tAccounted for in search: 100%\n"
        "\n";
    ASSERT_GE(result.output.size(), native_lines(tail).size());
    EXPECT_EQ(result.output.substr(result.output.size() - native_lines(tail).size()),
              native_lines(tail));
    EXPECT_EQ(dir.read("Tarvel.amb"), "from an earlier run\n");
}

TEST_F(PumaRun, AmbiguitiesReplaceTheAmbiguityFileBesideTheMap) {
    std::filesystem::create_directory(dir.path() / "out");
    dir.write("t.def", "PROGRAM 0 1000\nSEARCH text\nSEARCH |te |ro\n");
    dir.write("out/a.map", "1 .text 300 0 x\na\n2 .rodata 100 300 x\na\n3 .text 10 400 x\na\n");
    dir.write("out/Tarvel.amb", std::string(5000, 'x'));
    const process_result result = run({"Puma", "t.def", "out/a.map"});
    EXPECT_EQ(result.exit_code, 0);
    // .text (0x10 at 0x400) comes after .text at 0 in address order, so it is the repeat.
    EXPECT_NE(result.output.find(native_lines(
                  "Warning: Ambiguous search with 800 = 77% found and removed from multiple "
                  "counting. See ambiguous search result file in out/Tarvel.amb.\n\n")),
              std::string::npos)
        << result.output;
    EXPECT_EQ(dir.read("out/Tarvel.amb"),
              native_lines(".text: Found in [ |te |ro ] and in [ text ]\n"
                           ".text: Found in [ text ] and in [ text ]\n"
                           ".text: Found in [ |te |ro ] and in [ text ]\n"));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& item :
         std::filesystem::directory_iterator(dir.path() / "out")) {
        ++files;
    }
    EXPECT_EQ(files, 2u);  // the map and the ambiguity file: no temporary left behind
}

TEST_F(PumaRun, MapWithoutPlacedEntriesSucceedsWithoutReport) {
    dir.write("t.def", "PROGRAM 0 1000\n");
    dir.write("a.map", "1 .text 300 9000 x\na\n");
    const process_result result = run({"Puma", "t.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output, native_lines(banner_text()));
}

TEST_F(PumaRun, AnalysisFailuresPrintTheirMessagesAndExitWithMinus3) {
    dir.write("good.def", "PROGRAM 0 1000\n");
    dir.write("bad.def", "// no areas\nSEARCH x\n");
    dir.write("a.map", "1 .text 300 0 x\na\n");
    std::filesystem::create_directory(dir.path() / "folder.map");
    const std::string unsupported = "Tarvel:\tMap definition file type is not supported.\n";
    const std::string invalid_def = "Tarvel:\tInvalid memory definition file.\n";
    const std::string invalid_map = "Tarvel:\tInvalid memory map file.\n";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"puma", "good.def", "a.map"}, unsupported},
        {{"PUMA", "good.def", "a.map"}, unsupported},
        {{"Puma ", "good.def", "a.map"}, unsupported},
        {{"Pum", "good.def", "a.map"}, unsupported},
        {{"Puma_mem32", "bad.def", "a.map"}, unsupported},
        {{"Puma", "bad.def", "a.map"}, invalid_def},
        {{"Puma", "bad.def", "folder.map"}, invalid_def + invalid_map},
        {{"Puma", "good.def", "folder.map"}, invalid_map},
        {{"Puma", "folder.map", "a.map"}, invalid_def},
    };
    for (const auto& c : cases) {
        const process_result result = run(c.arguments);
        EXPECT_EQ(result.exit_code, exit_status(-3)) << c.arguments[0] << " " << c.arguments[1];
        EXPECT_EQ(result.output, native_lines(banner_text() + c.message)) << c.arguments[0];
    }
    // A failing memory analysis does not look at the fourth argument.
    const process_result result = run({"Puma", "bad.def", "a.map", "missing.src"});
    EXPECT_EQ(result.exit_code, exit_status(-3));
    EXPECT_EQ(result.output, native_lines(banner_text() + invalid_def));
}

}  // namespace
}  // namespace tarvel::test
