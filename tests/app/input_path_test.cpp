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
// The path an argument resolves to, or the name of its problem.
std::string resolved(const std::string& path, const std::string& program_dir) {
    const c_result<std::string, input_path_problem> result =
        resolve_input_path(path.c_str(), program_dir);
    if (result) {
        return *result;
    }
    return result.error() == input_path_problem::invalid_path ? "<invalid path>" : "<not found>";
}

TEST(ResolveInputPath, AbsolutePathsAreUsedAsGiven) {
    test::c_temp_dir dir;
    const std::string file = dir.write("a.def", "x").string();
    EXPECT_EQ(resolved(file, "ignored/"), file);
    EXPECT_EQ(resolved(file + "x", ""), "<invalid path>");
    EXPECT_EQ(resolved(dir.path().string(), ""), dir.path().string());  // a directory
}

TEST(ResolveInputPath, RelativePathsFollowTheProgramDirectory) {
    test::c_temp_dir dir;
    dir.write("a.def", "x");
    const std::string prefix = dir.path().string() + "/";
    EXPECT_EQ(resolved("a.def", prefix), prefix + "a.def");
    EXPECT_EQ(resolved("b.def", prefix), "<not found>");
    EXPECT_EQ(resolved("", prefix + "a.def"), prefix + "a.def");  // plain concatenation
}
#endif

}  // namespace
}  // namespace tarvel
