// End-to-end tests of how the ambiguity file is written: replaced whole when a run records
// ambiguities, left alone (bytes and time) when it records none, never a temporary file left
// behind, and a warning with the path even when the file cannot be written.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "e2e/bad_input_fixtures.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tarvel::test {
namespace {

namespace fs = std::filesystem;

const std::string definition = "PROGRAM 0 1000\nSEARCH text\nSEARCH |data |text\n";
const std::string definition_without_overlap = "PROGRAM 0 1000\nSEARCH text\nSEARCH |data\n";
// In address order: .text (credited to the first search, matched again by the second),
// .rodata (credited to the second), another .text (matched again by both).
const std::string map =
    "  3  .text    00000080  00000200  x\n  AX\n"
    "  1  .text    00000100  00000000  x\n  AX\n"
    "  2  .rodata  00000100  00000100  x\n  A\n";
const std::string expected_ambiguities =
    ".text: Found in [ |data |text ] and in [ text ]\n"
    ".text: Found in [ text ] and in [ text ]\n"
    ".text: Found in [ |data |text ] and in [ text ]\n";
const std::string warning_start = "Warning: Ambiguous search with 512 = 80% found and removed";

std::set<std::string> entries_of(const fs::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class AmbiguityFile : public BadInput {
  protected:
    // An ambiguity file from an earlier run, longer than the new one, dated an hour ago.
    fs::path old_file() {
        const fs::path path = dir.write("Tarvel.amb", std::string(10000, '#') + "\nold\n");
        fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
        return path;
    }
};

TEST_F(AmbiguityFile, ARunWithAmbiguitiesReplacesTheWholeFile) {
    old_file();
    dir.write("t.def", definition);
    dir.write("a.map", map);
    const process_result result = run({"Puma", "t.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_NE(result.output.find(warning_start), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("See ambiguous search result file in Tarvel.amb."),
              std::string::npos);
    EXPECT_EQ(dir.read("Tarvel.amb"), native_lines(expected_ambiguities));
    EXPECT_EQ(entries_of(dir.path()), (std::set<std::string>{"Tarvel.amb", "a.map", "t.def"}));

    // Next to the map, in another directory than the current one.
    fs::create_directory(dir.path() / "sub");
    dir.write("sub/a.map", map);
    run({"Puma", "t.def", "sub/a.map"});
    EXPECT_EQ(dir.read("sub/Tarvel.amb"), native_lines(expected_ambiguities));
    EXPECT_EQ(entries_of(dir.path() / "sub"), (std::set<std::string>{"Tarvel.amb", "a.map"}));
}

TEST_F(AmbiguityFile, RunsWithoutAmbiguitiesLeaveTheFileUntouched) {
    const fs::path path = old_file();
    const std::string old_content = dir.read("Tarvel.amb");
    const fs::file_time_type old_time = fs::last_write_time(path);
    dir.write("t.def", definition);
    dir.write("plain.def", definition_without_overlap);
    dir.write("nosearch.def", "PROGRAM 0 1000\n");
    dir.write("a.map", map);
    dir.write("unique.map", map.substr(map.find("  1 ")));
    dir.write("outside.map", "  1  .text  00000100  00100000  x\n  AX\n");
    const std::vector<std::vector<std::string>> runs{
        {"Puma", "plain.def", "unique.map"},  // searches, no name matched twice
        {"Puma", "nosearch.def", "a.map"},    // no searches
        {"Puma", "t.def", "outside.map"},     // nothing placed: no report
        {"Puma", "a.map", "a.map"},           // the definition fails
        {"Orca", "t.def", "a.map"},           // not a listing map
    };
    for (const auto& arguments : runs) {
        const process_result result = run(arguments);
        EXPECT_EQ(result.output.find("Warning"), std::string::npos) << arguments[1];
        EXPECT_EQ(dir.read("Tarvel.amb"), old_content) << arguments[1];
        EXPECT_EQ(fs::last_write_time(path), old_time) << arguments[1];
    }
    EXPECT_EQ(entries_of(dir.path()),
              (std::set<std::string>{"Tarvel.amb", "a.map", "nosearch.def", "outside.map",
                                     "plain.def", "t.def", "unique.map"}));
}

// A directory named Tarvel.amb cannot be replaced: the report still names the path, the
// directory stays as it was, no temporary file is left, and the run succeeds.
TEST_F(AmbiguityFile, AFileThatCannotBeReplacedStillGivesTheWarning) {
    fs::create_directory(dir.path() / "Tarvel.amb");
    dir.write("Tarvel.amb/keep", "x");
    dir.write("t.def", definition);
    dir.write("a.map", map);
    const process_result result = run({"Puma", "t.def", "a.map"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_NE(result.output.find(warning_start), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(native_lines("See ambiguous search result file in Tarvel.amb.\n")),
              std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir.path() / "Tarvel.amb"));
    EXPECT_EQ(entries_of(dir.path() / "Tarvel.amb"), (std::set<std::string>{"keep"}));
    EXPECT_EQ(entries_of(dir.path()), (std::set<std::string>{"Tarvel.amb", "a.map", "t.def"}));
}

#ifndef _WIN32
TEST_F(AmbiguityFile, AnUnwritableDirectoryStillGivesTheWarning) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser (the pipe test covers this case)";
    }
    fs::create_directory(dir.path() / "locked");
    dir.write("locked/a.map", map);
    dir.write("t.def", definition);
    fs::permissions(dir.path() / "locked", fs::perms::owner_write, fs::perm_options::remove);
    const process_result result = run({"Puma", "t.def", "locked/a.map"});
    fs::permissions(dir.path() / "locked", fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_NE(result.output.find("See ambiguous search result file in locked/Tarvel.amb.\n"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(entries_of(dir.path() / "locked"), (std::set<std::string>{"a.map"}));
}
#endif

}  // namespace
}  // namespace tarvel::test
