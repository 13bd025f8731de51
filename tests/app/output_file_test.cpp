#include "app/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

// The names of the files in `directory`: what a failed set must leave is the old files only.
std::set<std::string> files_in(const std::filesystem::path& directory) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

output_content content(const std::filesystem::path& path, const std::string& text) {
    return {path.string(), [text](std::ostream& out) { out << text; }};
}

// The trend page is committed whether or not it opened: the commit must then give the reason
// of the opening, not succeed on a stream never written.
TEST(OutputFile, CommitGivesTheReasonOfAFailedOpening) {
    const test::c_temp_dir dir;
    const std::string path = (dir.path() / "missing" / "page.html").string();
    c_output_file file(path);
    ASSERT_FALSE(file.opened());
    const std::string reason =
        "the directory '" + (dir.path() / "missing").string() + "' does not exist";
    EXPECT_EQ(file.opened().error(), reason);
    const output_result committed = file.commit();
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error(), reason);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST(OutputSet, WritesEveryFileAndLeavesNoTemporary) {
    const test::c_temp_dir dir;
    dir.write("a.json", "old");
    const std::vector<output_content> files{content(dir.path() / "a.json", "new json"),
                                            content(dir.path() / "b.csv", "new csv")};
    EXPECT_EQ(write_output_set(files), std::nullopt);
    EXPECT_EQ(dir.read("a.json"), "new json");
    EXPECT_EQ(dir.read("b.csv"), "new csv");
    EXPECT_EQ(files_in(dir.path()), (std::set<std::string>{"a.json", "b.csv"}));
    EXPECT_EQ(write_output_set({}), std::nullopt);
}

TEST(OutputSet, AFileThatCannotBeOpenedStopsTheSetBeforeAnyIsWritten) {
    const test::c_temp_dir dir;
    dir.write("a.json", "old");
    bool first_written = false;
    const std::vector<output_content> files{{(dir.path() / "a.json").string(),
                                             [&first_written](std::ostream& out) {
                                                 first_written = true;
                                                 out << "new";
                                             }},
                                            content(dir.path() / "missing" / "b.csv", "new csv")};
    const std::optional<output_failure> failure = write_output_set(files);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->file, 1u);
    EXPECT_EQ(failure->reason,
              "the directory '" + (dir.path() / "missing").string() + "' does not exist");
    EXPECT_FALSE(first_written);
    EXPECT_EQ(dir.read("a.json"), "old");
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"a.json"});
}

TEST(OutputSet, AFileThatFailsWhileWrittenReplacesNoTarget) {
    const test::c_temp_dir dir;
    dir.write("a.json", "old json");
    dir.write("c.html", "old page");
    // A full disk shows as a stream that fails; the last file of the set fails here.
    const std::vector<output_content> files{
        content(dir.path() / "a.json", "new json"),
        content(dir.path() / "b.csv", "new csv"),
        {(dir.path() / "c.html").string(), [](std::ostream& out) {
             out << "half a pa";
             out.setstate(std::ios::badbit);
         }}};
    const std::optional<output_failure> failure = write_output_set(files);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->file, 2u);
    EXPECT_FALSE(failure->reason.empty());
    EXPECT_EQ(dir.read("a.json"), "old json");
    EXPECT_EQ(dir.read("c.html"), "old page");
    EXPECT_EQ(files_in(dir.path()), (std::set<std::string>{"a.json", "c.html"}));
}

}  // namespace
}  // namespace tarvel
