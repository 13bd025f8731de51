// End-to-end tests of the fourth argument: the EEPROM report after the memory report, its
// failures (exit code -4) and the path checks of the EEPROM file.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/example_run.h"
#include "support/process.h"
#include "support/report_text.h"
#include "support/sample_inputs.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

const std::string definition = "PROGRAM 0 10000\nMEMORY 100000 1000\n";
const std::string puma_map =
    "Linker map\n"
    "  1  .text  00000100  00000000  x\n"
    "     flags: AX\n";

const std::string memory_report =
    report_head +
    "RAM area: \n"
    "Total:    4096\n"
    "Pct Used:   0.0%\n"
    "Free:     4096\n"
    "Used:     0\n"
    "\n"
    "ROM area: \n"
    "Total:    65536\n"
    "Pct Used:   0.4%\n"
    "Free:     65280\n"
    "Used:     256\n"
    "\n"
    "\n"
    "  Prg seg0:     Used         256, Free       65280, Total      65536, Pct Used:   0.4%\n"
    "\n";

const std::string eep_report =
    "\n"
    "EEP size analyze: \n"
    "\n"
    " Total:     1600\n"
    "Pct Used:  28.0%\n"
    " used:      448\n"
    " Free:      1152\n"
    "\n"
    "Once Data: \n"
    " Total:     1024\n"
    "Pct Used:  25.0%\n"
    " Used:      256\n"
    " Free:      768\n"
    "\n"
    "Triple Data:\n"
    " Total:     576\n"
    "Pct Used:  33.3%\n"
    " Used:      192\n"
    " Free:      384\n"
    "\n";

class EepReport : public ::testing::Test {
  protected:
    EepReport() {
        dir.write("target.def", definition);
        dir.write("app.map", puma_map);
    }
    process_result run(const std::string& eep_argument, const std::string& type = "Puma") {
        return run_program(tarvel_executable(), {type, "target.def", "app.map", eep_argument},
                           dir.path());
    }
    c_temp_dir dir;
};

TEST_F(EepReport, FollowsTheMemoryReport) {
    dir.write("EepPrj.src", sample_eep_source);
    const process_result result = run("EepPrj.src");
    EXPECT_EQ(result.output, native_lines(banner_text() + memory_report + eep_report));
    EXPECT_EQ(result.exit_code, 0);
}

TEST_F(EepReport, FailuresEndWithExitCodeMinus4) {
    std::filesystem::create_directory(dir.path() / "EepDir");
    process_result result = run("EepDir");
    EXPECT_EQ(result.output,
              native_lines(banner_text() + memory_report + "Tarvel:\tInvalid eep file.\n"));
    EXPECT_EQ(result.exit_code, exit_status(-4));

    // No triple-data-free key: the reading runs to the end of the file.
    dir.write("EepPrj.src", "/* generated */\n_IpdEep_nOnceDataSize\n    0100;\n");
    result = run("EepPrj.src");
    EXPECT_EQ(result.output, native_lines(banner_text() + memory_report +
                                          "File end\nerror in the analyze EEP size: \n"));
    EXPECT_EQ(result.exit_code, exit_status(-4));

    // A key line as the last line has no value line.
    dir.write("EepPrj.src", "/* generated */\n_IpdEep_nTrippleDataFree\n");
    result = run("EepPrj.src");
    EXPECT_EQ(result.output, native_lines(banner_text() + memory_report +
                                          "File end\nerror in the analyze EEP size: \n"));
    EXPECT_EQ(result.exit_code, exit_status(-4));
}

TEST_F(EepReport, MissingEepFileIsReportedAfterTheMemoryReport) {
    process_result result = run("EepPrj.src");
    EXPECT_EQ(result.output,
              native_lines(banner_text() + memory_report + "Could not find input eep file\n"));
    EXPECT_EQ(result.exit_code, exit_status(-2));

    result = run((dir.path() / "missing" / "EepPrj.src").string());
    EXPECT_EQ(result.output,
              native_lines(banner_text() + memory_report + "Invalid path for input eep file\n"));
    EXPECT_EQ(result.exit_code, exit_status(-1));
}

TEST_F(EepReport, FailedMemoryAnalysisIgnoresTheEepArgument) {
    const process_result result = run("EepPrj.src", "Lynx");
    EXPECT_EQ(result.output, native_lines(banner_text() +
                                          "Tarvel:\tMap definition file type is not supported.\n"));
    EXPECT_EQ(result.exit_code, exit_status(-3));
}

TEST_F(EepReport, BundledExampleGivesTheDocumentedReport) {
    const std::filesystem::path source = TARVEL_SOURCE_DIR;
    const process_result result =
        run_bundled_example(dir, "Puma", "puma", {(source / "examples/eep/EepPrj.src").string()});
    const std::string expected = native_lines(
        "\nEEP size analyze: \n\n"
        " Total:     7936\nPct Used:  19.7%\n used:      1560\n Free:      6376\n\n"
        "Once Data: \n"
        " Total:     4096\nPct Used:  21.1%\n Used:      864\n Free:      3232\n\n"
        "Triple Data:\n"
        " Total:     3840\nPct Used:  18.1%\n Used:      696\n Free:      3144\n\n");
    ASSERT_GE(result.output.size(), expected.size());
    EXPECT_EQ(result.output.substr(result.output.size() - expected.size()), expected);
    EXPECT_EQ(result.exit_code, 0);
}

}  // namespace
}  // namespace tarvel::test
