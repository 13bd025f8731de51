#include "app/input_path.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

TEST(ProgramDirectory, CutAfterTheLastBackslash) {
    EXPECT_EQ(program_directory("C:\\tools\\bin\\Tarvel.exe"), "C:\\tools\\bin\\");
    EXPECT_EQ(program_directory("Tarvel.exe"), "");
    EXPECT_EQ(program_directory("/usr/bin/tarvel"), "");  // forward slashes do not count
    EXPECT_EQ(program_directory(""), "");
}

#ifndef _WIN32
TEST(ResolveInputPath, AbsolutePathsAreUsedAsGiven) {
    test::c_temp_dir dir;
    const std::string file = dir.write("a.def", "x").string();
    std::string resolved = "old";
    EXPECT_EQ(resolve_input_path(resolved, file.c_str(), "ignored/"), 0);
    EXPECT_EQ(resolved, file);
    resolved = "old";
    EXPECT_EQ(resolve_input_path(resolved, (file + "x").c_str(), ""), -1);
    EXPECT_EQ(resolved, "");
    EXPECT_EQ(resolve_input_path(resolved, dir.path().string().c_str(), ""), 0);  // a directory
}

TEST(ResolveInputPath, RelativePathsFollowTheProgramDirectory) {
    test::c_temp_dir dir;
    dir.write("a.def", "x");
    const std::string prefix = dir.path().string() + "/";
    std::string resolved;
    EXPECT_EQ(resolve_input_path(resolved, "a.def", prefix), 0);
    EXPECT_EQ(resolved, prefix + "a.def");
    EXPECT_EQ(resolve_input_path(resolved, "b.def", prefix), -2);
    EXPECT_EQ(resolved, "");
    EXPECT_EQ(resolve_input_path(resolved, "", prefix + "a.def"), 0);  // plain concatenation
}
#endif

}  // namespace
}  // namespace tarvel
