// End-to-end tests of what only Windows shows: the program's directory taken from its own
// backslash path, drive-letter paths, text-mode line ends and the banner read from the
// executable's version resource.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <filesystem>

#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

// ".text" is matched by both searches, so a run writes an ambiguity file beside the map.
const std::string definition = "PROGRAM 0 10000\nMEMORY 100000 1000\nSEARCH text\nSEARCH tex\n";
const std::string puma_map =
    "Linker map\n"
    "  1  .text  00000100  00000000  x\n"
    "     flags: AX\n"
    "  2  .data  00000010  00100000  x\n"
    "     flags: WA\n";

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A copy of the program in a directory of its own, and a separate current directory.
class WindowsPaths : public ::testing::Test {
  protected:
    WindowsPaths() { std::filesystem::copy_file(tarvel_executable(), program()); }

    std::string program() const { return (program_dir.path() / "Tarvel.exe").string(); }

    // Runs the copy in the current directory, started as `argv0`.
    process_result run(const std::vector<std::string>& arguments, const std::string& argv0) {
        return run_program(program(), arguments, current_dir.path(), argv0);
    }

    c_temp_dir program_dir;
    c_temp_dir current_dir;
};

TEST_F(WindowsPaths, RelativeArgumentsAreLookedUpNextToTheProgram) {
    program_dir.write("target.def", definition);
    program_dir.write("app.map", puma_map);
    const process_result result = run({"Puma", "target.def", "app.map"}, program());
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_TRUE(contains(result.output, native_lines("*       Tarvel Memory Report       *\n")));
    // The ambiguity file lies beside the map, that is next to the program.
    const std::string ambiguity_file = (program_dir.path() / "Tarvel.amb").string();
    EXPECT_TRUE(contains(result.output, "result file in " + ambiguity_file + "."));
    EXPECT_TRUE(std::filesystem::exists(ambiguity_file));
    EXPECT_FALSE(std::filesystem::exists(current_dir.path() / "Tarvel.amb"));

    // The same run started by its bare name in the program's directory prints the same report,
    // apart from the ambiguity file's path, which is then relative.
    std::filesystem::remove(ambiguity_file);
    const process_result bare =
        run_program(program(), {"Puma", "target.def", "app.map"}, program_dir.path(), "Tarvel");
    EXPECT_EQ(bare.exit_code, 0);
    std::string expected = result.output;
    expected.replace(expected.find(ambiguity_file), ambiguity_file.size(), "Tarvel.amb");
    EXPECT_EQ(bare.output, expected);
}

TEST_F(WindowsPaths, FilesInTheCurrentDirectoryAreNotFoundThroughAProgramPath) {
    current_dir.write("target.def", definition);
    current_dir.write("app.map", puma_map);
    process_result result = run({"Puma", "target.def", "app.map"}, program());
    EXPECT_EQ(result.output,
              native_lines(banner_text() + "Could not find input definition file\n"));
    EXPECT_EQ(result.exit_code, -2);

    program_dir.write("target.def", definition);
    result = run({"Puma", "target.def", "app.map"}, program());
    EXPECT_EQ(result.output, native_lines(banner_text() + "Could not find input map file\n"));
    EXPECT_EQ(result.exit_code, -2);

    // The same for the build's own program, which Wine shows as "Z:\...\Tarvel.exe".
    result = run_program(tarvel_executable(), {"Puma", "target.def", "app.map"}, current_dir.path(),
                         tarvel_executable());
    EXPECT_EQ(result.output,
              native_lines(banner_text() + "Could not find input definition file\n"));
    EXPECT_EQ(result.exit_code, -2);
}

TEST_F(WindowsPaths, MixedSeparatorsBelowTheProgramDirectory) {
    std::filesystem::create_directory(program_dir.path() / "maps");
    program_dir.write("target.def", definition);
    program_dir.write("maps\\app.map", puma_map);
    const process_result result = run({"Puma", "target.def", "maps/app.map"}, program());
    EXPECT_EQ(result.exit_code, 0);
    // The ambiguity file's directory is cut after the last slash of either kind.
    const std::string ambiguity_file = (program_dir.path() / "maps/Tarvel.amb").string();
    EXPECT_TRUE(contains(result.output, "result file in " + ambiguity_file + "."));
    EXPECT_TRUE(std::filesystem::exists(program_dir.path() / "maps" / "Tarvel.amb"));
}

TEST_F(WindowsPaths, BareNameStartTakesTheCurrentDirectory) {
    current_dir.write("target.def", definition);
    current_dir.write("app.map", puma_map);
    for (const std::string argv0 : {"Tarvel", "Tarvel.exe"}) {
        const process_result result = run({"Puma", "target.def", "app.map"}, argv0);
        EXPECT_EQ(result.exit_code, 0) << argv0;
        // The banner still comes from the program file, though its name was typed without a path.
        EXPECT_EQ(result.output.substr(0, native_lines(banner_text()).size()),
                  native_lines(banner_text()))
            << argv0;
        EXPECT_TRUE(contains(result.output, "result file in Tarvel.amb.")) << argv0;
        EXPECT_TRUE(std::filesystem::exists(current_dir.path() / "Tarvel.amb")) << argv0;
        EXPECT_FALSE(std::filesystem::exists(program_dir.path() / "Tarvel.amb")) << argv0;
    }
}

TEST_F(WindowsPaths, MissingDrivePathsAreInvalid) {
    const std::string missing = "C:\\tarvel-no-such-directory\\target.def";
    process_result result = run({"Puma", missing, "app.map"}, program());
    EXPECT_EQ(result.output,
              native_lines(banner_text() + "Invalid path for input definition file\n"));
    EXPECT_EQ(result.exit_code, -1);
    EXPECT_EQ(exit_status(-1), -1);

    // The same name without a drive is looked up next to the program instead.
    result = run({"Puma", "tarvel-no-such-directory\\target.def", "app.map"}, program());
    EXPECT_EQ(result.output,
              native_lines(banner_text() + "Could not find input definition file\n"));
    EXPECT_EQ(result.exit_code, -2);

    // A path with a drive is used as given, forward slashes and all.
    const std::string existing = current_dir.write("target.def", definition).string();
    for (const std::string map :
         {"C:\\tarvel-no-such-directory\\app.map", "c:/tarvel-no-such-directory/app.map"}) {
        result = run({"Puma", existing, map}, program());
        EXPECT_EQ(result.output, native_lines(banner_text() + "Invalid path for input map file\n"))
            << map;
        EXPECT_EQ(result.exit_code, -1) << map;
    }
}

TEST_F(WindowsPaths, TextLinesEndInCrLf) {
    program_dir.write("target.def", definition);
    program_dir.write("app.map", puma_map);
    // The same inputs with CR LF line ends.
    program_dir.write("target-crlf.def", native_lines(definition));
    program_dir.write("app-crlf.map", native_lines(puma_map));

    const process_result lf = run({"Puma", "target.def", "app.map"}, program());
    ASSERT_EQ(lf.exit_code, 0);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < lf.output.size(); ++i) {
        if (lf.output[i] == '\n') {
            ++lines;
            EXPECT_TRUE(i > 0 && lf.output[i - 1] == '\r') << "line " << lines;
            EXPECT_FALSE(i > 1 && lf.output[i - 2] == '\r') << "line " << lines;
        }
    }
    EXPECT_GT(lines, 20u);
    const std::string ambiguity_file = program_dir.read("Tarvel.amb");
    EXPECT_EQ(ambiguity_file, native_lines(".text: Found in [ tex ] and in [ text ]\n"));

    process_result crlf = run({"Puma", "target-crlf.def", "app-crlf.map"}, program());
    EXPECT_EQ(crlf.exit_code, 0);
    EXPECT_EQ(crlf.output, lf.output);
    EXPECT_EQ(program_dir.read("Tarvel.amb"), ambiguity_file);
}

TEST_F(WindowsPaths, BannerComesFromTheVersionResource) {
    // A renamed copy still names the file the resource names.
    const std::string renamed = (program_dir.path() / "Renamed.exe").string();
    std::filesystem::copy_file(program(), renamed);
    process_result result = run_program(renamed, {}, current_dir.path(), renamed);
    EXPECT_EQ(result.output, native_lines(banner_text() + usage_text));
    EXPECT_EQ(result.output.substr(0, 28), "Tarvel.exe version 1.5 from ");
    EXPECT_EQ(result.exit_code, -5);

    // A first word naming a file without version information: no banner, and no error either.
    current_dir.write("notes.txt", "not a program\n");
    result = run({}, "notes.txt");
    EXPECT_EQ(result.output, native_lines("\n" + usage_text));
    EXPECT_EQ(result.exit_code, -5);
}

}  // namespace
}  // namespace tarvel::test

#endif  // _WIN32
