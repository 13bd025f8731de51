// End-to-end tests of tarvel-report's exit codes: each code with its exact message on standard
// error, and nothing on standard output when the run failed before a report.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "support/report_run.h"
#include "version_info.h"

namespace tarvel::test {
namespace {

class ReportExitCodes : public ::testing::Test {
  protected:
    ReportExitCodes() { write_small_puma_input(dir); }

    // Runs and expects `code`, nothing on standard output, and `message` on standard error.
    void expect_failure(const std::vector<std::string>& arguments, int code,
                        const std::string& message) {
        const process_result result = run_report(dir, arguments);
        EXPECT_EQ(result.exit_code, code) << message;
        EXPECT_EQ(result.output, "") << message;
        EXPECT_EQ(result.error_output, native_lines(message));
    }

    // The usage that follows a command-line error: the help text.
    std::string usage() {
        const process_result help = run_report(dir, {"--help"});
        EXPECT_EQ(help.exit_code, 0);
        return help.output;
    }

    c_temp_dir dir;
};

TEST_F(ReportExitCodes, SuccessIsZeroWithNothingOnStandardError) {
    const process_result result = run_report(dir, small_puma_arguments);
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.error_output, "");
    EXPECT_NE(result.output, "");
}

TEST_F(ReportExitCodes, HelpAndVersionAnswerOnStandardOutputWithZero) {
    const process_result help = run_report(dir, {"--help"});
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.error_output, "");
    EXPECT_EQ(help.output.rfind(native_lines("Tells how much of a microcontroller's RAM and ROM a "
                                             "linked program uses, for build servers and "
                                             "reviewers.\nUsage: tarvel-report [OPTIONS]\n\n"
                                             "Options:\n"),
                                0),
              0u)
        << help.output;
    for (const char* option :
         {"-h,--help", "--version", "--type", "--def", "--map TEXT REQUIRED", "--eep", "--format",
          "--json", "--csv", "--markdown", "--ambiguities", "--diff", "--max", "--max-growth",
          "--top", "--by"}) {
        EXPECT_NE(help.output.find(std::string("  ") + option + " "), std::string::npos) << option;
    }
    EXPECT_EQ(run_report(dir, {"-h"}).output, help.output);
    // Help wins over every other option, even a wrong one.
    EXPECT_EQ(run_report(dir, {"--map", "nothing", "--help"}).output, help.output);

    const process_result version = run_report(dir, {"--version"});
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output,
              native_lines(std::string("tarvel-report ") + TARVEL_PRODUCT_VERSION + "\n"));
    EXPECT_EQ(version.error_output, "");
}

TEST_F(ReportExitCodes, WrongCommandLinesAre2WithTheUsage) {
    const std::string help = usage();
    ASSERT_FALSE(help.empty());
    const auto with_usage = [&help](const std::string& message) {
        return native_lines("tarvel-report: " + message + "\n\n") + help;
    };
    const auto expect_usage = [&](const std::vector<std::string>& arguments,
                                  const std::string& message) {
        const process_result result = run_report(dir, arguments);
        EXPECT_EQ(result.exit_code, 2) << message;
        EXPECT_EQ(result.output, "") << message;
        EXPECT_EQ(result.error_output, with_usage(message));
    };
    expect_usage({"--bogus", "--map", "a.map"}, "The following argument was not expected: --bogus");
    expect_usage(small_puma_with({"--bogus"}), "The following argument was not expected: --bogus");
    expect_usage(small_puma_with({"extra"}), "The following argument was not expected: extra");
    expect_usage({}, "--map is required");
    expect_usage({"--type", "Puma", "--def", "t.def"}, "--map is required");
    expect_usage(small_puma_with({"--top"}), "--top: 1 required UINT missing");
    expect_usage(small_puma_with({"--top", "x"}), "Could not convert: --top = x");
    expect_usage(small_puma_with({"--top", "-1"}), "--top: a count cannot be negative: -1");
    expect_usage(small_puma_with({"--by", "file"}), "--by: file not in {section,object,archive}");

    const process_result format = run_report(dir, small_puma_with({"--format", "xml"}));
    EXPECT_EQ(format.exit_code, 2);
    EXPECT_EQ(format.error_output.rfind("tarvel-report: --format: xml not in {text,json,csv,", 0),
              0u)
        << format.error_output;
}

TEST_F(ReportExitCodes, RefusedCombinationsAre2WithTheirReason) {
    expect_failure(small_puma_with({"--max-growth", "ROM=1"}), 2,
                   "tarvel-report: --max-growth needs --diff BASE.json to compare with\n");
    expect_failure(small_puma_with({"--json", "r", "--csv", "r"}), 2,
                   "tarvel-report: two outputs are to be written to the same file 'r'\n");
    expect_failure(small_puma_with({"--markdown", "r", "--ambiguities", "r"}), 2,
                   "tarvel-report: two outputs are to be written to the same file 'r'\n");
    expect_failure(small_puma_with({"--json", "a.map"}), 2,
                   "tarvel-report: the output file 'a.map' is also an input\n");
    expect_failure(small_puma_with({"--ambiguities", "t.def"}), 2,
                   "tarvel-report: the output file 't.def' is also an input\n");
    expect_failure({"--type", "Pumaa", "--def", "t.def", "--map", "a.map"}, 2,
                   "tarvel-report: the map type is not supported\n");
    expect_failure({"--type", "puma", "--def", "t.def", "--map", "a.map"}, 2,
                   "tarvel-report: the map type is not supported\n");
    // However a path is written, an output is never one of the inputs or another output.
    const std::string map = dir.read("a.map");
    expect_failure(small_puma_with({"--json", "./a.map"}), 2,
                   "tarvel-report: the output file './a.map' is also an input\n");
    expect_failure(small_puma_with({"--markdown", "out/../t.def"}), 2,
                   "tarvel-report: the output file 'out/../t.def' is also an input\n");
    expect_failure(small_puma_with({"--json", "r", "--csv", "./r"}), 2,
                   "tarvel-report: two outputs are to be written to the same file 'r'\n");
    EXPECT_EQ(dir.read("a.map"), map);
    EXPECT_TRUE(files_in(dir.path()) == (std::vector<std::string>{"a.map", "t.def"}));
}

TEST_F(ReportExitCodes, AMapWithoutRegionsNeedsADefinition) {
    expect_failure({"--type", "Puma", "--map", "a.map"}, 2,
                   "tarvel-report: the map holds no memory regions to use as areas: give a "
                   "memory definition file with --def\n");
}

TEST_F(ReportExitCodes, BadBudgetsAre2) {
    expect_failure(small_puma_with({"--max", "ROM=12XB"}), 2,
                   "tarvel-report: --max: the limit of 'ROM=12XB' is no number of bytes (such as "
                   "20000, 480KiB, 1MiB) or percentage (90%)\n");
    expect_failure(small_puma_with({"--max", "ROM=101%"}), 2,
                   "tarvel-report: --max: the limit of 'ROM=101%' is more than 100% of the "
                   "target's total\n");
    expect_failure(small_puma_with({"--max", "ROM"}), 2,
                   "tarvel-report: --max: 'ROM' is not TARGET=LIMIT\n");
    expect_failure(small_puma_with({"--max", "ROM=1", "--max", "Flash=1"}), 2,
                   "tarvel-report: the budget target 'Flash' names nothing of this report (RAM, "
                   "ROM, Prg seg0, Ram seg0, 'text', '|data |text')\n");
}

TEST_F(ReportExitCodes, InputsThatCannotBeReadAre3NamingTheFile) {
    std::filesystem::create_directory(dir.path() / "folder");
    expect_failure({"--type", "Puma", "--def", "t.def", "--map", "none.map"}, 3,
                   "tarvel-report: cannot read the map file 'none.map': no such file\n");
    expect_failure({"--type", "Puma", "--def", "none.def", "--map", "a.map"}, 3,
                   "tarvel-report: cannot read the memory definition file 'none.def': no such "
                   "file\n");
    expect_failure({"--type", "Puma", "--def", "t.def", "--map", "folder"}, 3,
                   "tarvel-report: cannot read the map file 'folder': it is a directory\n");
    expect_failure({"--type", "Puma", "--def", "folder", "--map", "a.map"}, 3,
                   "tarvel-report: cannot read the memory definition file 'folder': it is a "
                   "directory\n");
    expect_failure(small_puma_with({"--eep", "none.src"}), 3,
                   "tarvel-report: cannot read the EEPROM file 'none.src': no such file\n");
    expect_failure(small_puma_with({"--diff", "none.json"}), 3,
                   "tarvel-report: cannot read the base report 'none.json': no such file\n");
    expect_failure(small_puma_with({"--diff", "folder"}), 3,
                   "tarvel-report: cannot read the base report 'folder': it is a directory\n");
}

TEST_F(ReportExitCodes, InputsThatCannotBeUnderstoodAre3) {
    dir.write("none.def", "// no area\nSEARCH x\n");
    expect_failure({"--type", "Puma", "--def", "none.def", "--map", "a.map"}, 3,
                   "tarvel-report: cannot read the memory definition file, or it defines no area "
                   "('none.def')\n");
    dir.write("short.src", "/* header */\n_IpdEep_nOnceDataSize\n    0100;\n");
    expect_failure(small_puma_with({"--eep", "short.src"}), 3,
                   "tarvel-report: cannot read the EEPROM sizes from 'short.src': the file ends "
                   "before the value of _IpdEep_nTrippleDataFree\n");
    dir.write("text.json", "Puma map a.map\n");
    expect_failure(small_puma_with({"--diff", "text.json"}), 3,
                   "tarvel-report: the base report 'text.json' is not valid JSON (at byte 0: "
                   "Invalid value.)\n");
    dir.write("other.json", R"({"format":"other"})");
    expect_failure(small_puma_with({"--diff", "other.json"}), 3,
                   "tarvel-report: the base report 'other.json' is not a tarvel-usage report of "
                   "tarvel-report\n");
    dir.write("number.json", "42\n");
    expect_failure(small_puma_with({"--diff", "number.json"}), 3,
                   "tarvel-report: the base report 'number.json' is not a tarvel-usage report of "
                   "tarvel-report\n");
    dir.write("v2.json", R"({"format":"tarvel-usage","version":2})");
    expect_failure(small_puma_with({"--diff", "v2.json"}), 3,
                   "tarvel-report: the base report 'v2.json' is a report of version 2; this "
                   "program compares with version 1\n");
}

TEST_F(ReportExitCodes, OutputsThatCannotBeWrittenAre3) {
    expect_failure(small_puma_with({"--json", "missing/r.json"}), 3,
                   "tarvel-report: cannot write the json report 'missing/r.json': the directory "
                   "'missing' does not exist\n");
    expect_failure(small_puma_with({"--csv", "missing/r.csv"}), 3,
                   "tarvel-report: cannot write the csv report 'missing/r.csv': the directory "
                   "'missing' does not exist\n");
    expect_failure(small_puma_with({"--markdown", "missing/r.md"}), 3,
                   "tarvel-report: cannot write the markdown report 'missing/r.md': the directory "
                   "'missing' does not exist\n");
    expect_failure(small_puma_with({"--ambiguities", "missing/amb.txt"}), 3,
                   "tarvel-report: cannot write 'missing/amb.txt': the directory "
                   "'missing' does not exist\n");
    // A directory where the file is to go cannot be replaced by it.
    std::filesystem::create_directory(dir.path() / "r.json");
    std::filesystem::create_directory(dir.path() / "r.json" / "inside");
    const process_result result = run_report(dir, small_puma_with({"--json", "r.json"}));
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.error_output,
              native_lines("tarvel-report: cannot write the json report 'r.json': it is a "
                           "directory\n"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "r.json" / "inside"));
    EXPECT_EQ(files_in(dir.path()), (std::vector<std::string>{"a.map", "r.json", "t.def"}));
}

TEST_F(ReportExitCodes, AReadOnlyDirectoryIs3) {
#ifdef _WIN32
    GTEST_SKIP() << "directory permissions are POSIX ones";
#else
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write into a read-only directory";
    }
    std::filesystem::create_directory(dir.path() / "locked");
    ::chmod((dir.path() / "locked").c_str(), 0555);
    expect_failure(small_puma_with({"--json", "locked/r.json"}), 3,
                   "tarvel-report: cannot write the json report 'locked/r.json': no "
                   "permission to write in 'locked'\n");
    ::chmod((dir.path() / "locked").c_str(), 0755);
    EXPECT_TRUE(files_in(dir.path() / "locked").empty());
#endif
}

TEST_F(ReportExitCodes, NothingRecognisedIs4WithAHintAtTheType) {
    expect_failure({"--type", "Orca", "--def", "t.def", "--map", "a.map"}, 4,
                   "tarvel-report: the map 'a.map' holds no entry of the type Orca: 1 line read, "
                   "none recognised.\n"
                   "Hint: is the type right? (--type auto finds the format from the map.)\n");
    dir.write("empty.map", "");
    expect_failure({"--type", "Wren", "--def", "t.def", "--map", "empty.map"}, 4,
                   "tarvel-report: the map 'empty.map' holds no entry of the type Wren: 0 lines "
                   "read, none recognised.\n"
                   "Hint: is the type right? (--type auto finds the format from the map.)\n");
}

TEST_F(ReportExitCodes, AMapOfNoKnownFormatIs4) {
    dir.write("notes.map", "nothing of a map\n");
    expect_failure({"--def", "t.def", "--map", "notes.map"}, 4,
                   "tarvel-report: the map 'notes.map' is in no known map format: looked for a "
                   "first line with \"Memory map\" (Orca), a line \"Memory Configuration\" or "
                   "\"Linker script and memory map\" (Gnu), an Image Summary heading \"Section "
                   "Base Size(hex) Size(dec) SecOffs\" (Otter), an armlink banner or \"Memory "
                   "Map of the image\" (Armlink), an \"IAR ELF Linker\" banner or \"*** "
                   "PLACEMENT SUMMARY\" (Iar), a TI linker banner or \"SECTION ALLOCATION MAP\" "
                   "(Ti), or section lines with attribute "
                   "lines (Puma, Puma_mem32_unlimited, Ibex, Wren), in the first 100000 lines; "
                   "give its type with --type\n");
}

TEST_F(ReportExitCodes, NothingInAnAreaIs4WithAHintAtTheAreas) {
    dir.write("far.def", "PROGRAM 10000000 1000\nMEMORY 20000000 100\n");
    expect_failure({"--type", "Puma", "--def", "far.def", "--map", "a.map"}, 4,
                   "tarvel-report: no entry of the map 'a.map' lies in a defined area: 10 lines "
                   "read, 5 entries of the type Puma recognised, 5 outside every area.\n"
                   "Hint: do the areas of 'far.def' cover the entries' addresses? Puma maps keep "
                   "only the low 26 bits of each address (Puma_mem32_unlimited keeps all 32).\n");
    // Entries the format leaves out are counted apart; a type that keeps all 32 bits says
    // nothing of masks.
    dir.write("m.map",
              "  1  .text  00000300  F0000000  x\n  AX\n"
              "  2  .debug_info  00000100  00000000  x\n  DEBUGGING\n");
    expect_failure({"--type", "Puma_mem32_unlimited", "--def", "far.def", "--map", "m.map"}, 4,
                   "tarvel-report: no entry of the map 'm.map' lies in a defined area: 4 lines "
                   "read, 2 entries of the type Puma_mem32_unlimited recognised, 1 of them left "
                   "out by the format's rules, 1 outside every area.\n"
                   "Hint: do the areas of 'far.def' cover the entries' addresses?\n");
}

}  // namespace
}  // namespace tarvel::test
