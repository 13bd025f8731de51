// End-to-end tests of output paths that cannot take a report: in a missing or read-only
// directory, below a plain file, one file for two outputs, an output that is an input, an
// empty name; and paths that are no plain file, a pipe and a device, which are written to and
// stay what they are.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

#include "e2e/report_bad_input_support.h"
#include "support/sample_inputs.h"

namespace tarvel::test {
namespace {

namespace fs = std::filesystem;

class ReportBadOutput : public ReportBadInput {};

TEST_F(ReportBadOutput, AMissingDirectoryOrAPlainFileAsTheDirectory) {
    dir.write("plain", "a plain file\n");
    for (const char* option : {"--csv", "--markdown", "--html"}) {
        const std::string format = std::string(option).substr(2);
        expect_refused(small_puma_with({option, "missing/r"}), 3,
                       "tarvel-report: cannot write the " + format +
                           " report 'missing/r': the directory 'missing' does not exist\n");
        expect_refused(small_puma_with({option, "plain/r"}), 3,
                       "tarvel-report: cannot write the " + format +
                           " report 'plain/r': 'plain' is not a directory\n");
    }
    expect_refused(small_puma_with({"--ambiguities", "missing/deeper/amb.txt"}), 3,
                   "tarvel-report: cannot write 'missing/deeper/amb.txt': the directory "
                   "'missing/deeper' does not exist\n");
    expect_refused(small_puma_with({"--ambiguities", "plain/amb.txt"}), 3,
                   "tarvel-report: cannot write 'plain/amb.txt': 'plain' is not a directory\n");
    EXPECT_EQ(dir.read("plain"), "a plain file\n");
    EXPECT_EQ(files_in(dir.path()),
              (std::vector<std::string>{"a.map", "plain", "r.json", "t.def"}));
}

TEST_F(ReportBadOutput, AReadOnlyDirectory) {
#ifdef _WIN32
    GTEST_SKIP() << "directory permissions are POSIX ones";
#else
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write into a read-only directory";
    }
    fs::create_directory(dir.path() / "locked");
    dir.write("locked/r.csv", earlier);
    ::chmod((dir.path() / "locked").c_str(), 0555);
    expect_refused(small_puma_with({"--csv", "locked/r.csv"}), 3,
                   "tarvel-report: cannot write the csv report 'locked/r.csv': no permission to "
                   "write in 'locked'\n");
    ::chmod((dir.path() / "locked").c_str(), 0755);
    EXPECT_EQ(dir.read("locked/r.csv"), earlier);
    EXPECT_EQ(files_in(dir.path() / "locked"), (std::vector<std::string>{"r.csv"}));
#endif
}

TEST_F(ReportBadOutput, OneFileForTwoOutputsIsRefusedBeforeAnyIsWritten) {
    dir.write("out.x", earlier);
    const std::string same = "tarvel-report: two outputs are to be written to the same file ";
    const auto expect_same = [&](const std::vector<std::string>& outputs, const std::string& name) {
        const process_result result = run_report(dir, small_puma_with(outputs));
        EXPECT_EQ(result.exit_code, 2) << name;
        EXPECT_EQ(result.output, "");
        EXPECT_EQ(result.error_output, native_lines(same + "'" + name + "'\n"));
        EXPECT_EQ(dir.read("out.x"), earlier);
    };
    expect_same({"--json", "out.x", "--csv", "out.x"}, "out.x");
    expect_same({"--csv", "new.x", "--html", "new.x"}, "new.x");
    expect_same({"--markdown", "sub/../out.x", "--ambiguities", "out.x"}, "sub/../out.x");
#ifndef _WIN32
    // A link names the file it points to.
    fs::create_symlink("out.x", dir.path() / "link.x");
    expect_same({"--json", "out.x", "--html", "link.x"}, "out.x");
#endif
    EXPECT_FALSE(fs::exists(dir.path() / "new.x"));
    EXPECT_EQ(dir.read("r.json"), earlier);
}

TEST_F(ReportBadOutput, AnOutputThatIsAnInputIsRefused) {
    dir.write("e.src", sample_eep_source);
    ASSERT_EQ(run_report(dir, small_puma_with({"--json", "base.json"})).exit_code, 0);
    const std::string base = dir.read("base.json");
    const std::vector<std::string> inputs =
        small_puma_with({"--eep", "e.src", "--diff", "base.json"});
    const auto expect_input = [&](const std::string& option, const std::string& path) {
        std::vector<std::string> arguments = inputs;
        arguments.insert(arguments.end(), {option, path});
        expect_refused(arguments, 2,
                       "tarvel-report: the output file '" + path + "' is also an input\n",
                       option == "--json" ? "--csv" : "--json");
    };
    expect_input("--csv", "e.src");
    expect_input("--html", "./base.json");
    expect_input("--ambiguities", "a.map");
    expect_input("--markdown", fs::absolute(dir.path() / "t.def").string());
    // Another name of the same file: a hard link.
    fs::create_hard_link(dir.path() / "a.map", dir.path() / "same.map");
    expect_input("--json", "same.map");
    EXPECT_EQ(dir.read("e.src"), sample_eep_source);
    EXPECT_EQ(dir.read("base.json"), base);
}

TEST_F(ReportBadOutput, AnEmptyFileNameIsAUsageError) {
    for (const char* option :
         {"--json", "--csv", "--markdown", "--html", "--ambiguities", "--eep", "--diff"}) {
        expect_refused(small_puma_with({option, ""}), 2,
                       "tarvel-report: " + std::string(option) + ": the file name is empty\n",
                       std::string(option) == "--json" ? "--csv" : "--json");
    }
    expect_refused({"--type", "Puma", "--def", "", "--map", "a.map"}, 2,
                   "tarvel-report: --def: the file name is empty\n");
    expect_refused({"--type", "Puma", "--def", "t.def", "--map", ""}, 2,
                   "tarvel-report: --map: the file name is empty\n");
}

#ifdef __linux__
// Renaming a finished report over a pipe or a device would put a plain file in its place (run
// as root, over /dev/null itself): such an output is written to as it is.
TEST_F(ReportBadOutput, APipeIsWrittenToAndStaysAPipe) {
    const fs::path pipe = dir.path() / "pipe.json";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // The reading end is open before the run, so that the program's open does not wait; the
    // report is smaller than the pipe's buffer.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const process_result result = run_report(dir, small_puma_with({"--json", "pipe.json"}));
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    std::string received;
    char buffer[4096];
    for (ssize_t n = ::read(reader, buffer, sizeof buffer); n > 0;
         n = ::read(reader, buffer, sizeof buffer)) {
        received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(pipe));
    ASSERT_EQ(run_report(dir, small_puma_with({"--json", "plain.json"})).exit_code, 0);
    EXPECT_EQ(received, dir.read("plain.json"));
}

TEST_F(ReportBadOutput, ADeviceThatRefusesTheBytesIs3AndStaysADevice) {
    // The device that is always full: a node of it in the test directory where one may be made
    // (root), otherwise /dev/full itself, which nobody else can replace.
    fs::path full = "/dev/full";
    if (::geteuid() == 0) {
        full = dir.path() / "full";
        if (::mknod(full.c_str(), S_IFCHR | 0600, makedev(1, 7)) != 0) {
            GTEST_SKIP() << "no device node can be made here";
        }
    } else if (!fs::is_character_file(full)) {
        GTEST_SKIP() << "no /dev/full";
    }
    expect_refused(small_puma_with({"--csv", full.string()}), 3,
                   "tarvel-report: cannot write the csv report '" + full.string() +
                       "': no space left on the device\n");
    EXPECT_TRUE(fs::is_character_file(full));
}
#endif

}  // namespace
}  // namespace tarvel::test
