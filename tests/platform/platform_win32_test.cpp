// The Windows platform layer, and the version resource that the build puts into Tarvel.exe.
#ifdef _WIN32

#include <windows.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/input_path.h"
#include "platform/platform.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "version_info.h"

namespace tarvel {
namespace {

TEST(PlatformWin32, DriveLetterMeansADriveNumber) {
    EXPECT_TRUE(platform::path_has_drive("C:\\tools\\a.def"));
    EXPECT_TRUE(platform::path_has_drive("z:a.def"));  // drive-relative still has a drive
    EXPECT_TRUE(platform::path_has_drive("D:/maps/a.map"));
    EXPECT_FALSE(platform::path_has_drive("a.def"));
    EXPECT_FALSE(platform::path_has_drive("\\tools\\a.def"));
    EXPECT_FALSE(platform::path_has_drive("/tools/a.def"));
    EXPECT_FALSE(platform::path_has_drive("\\\\server\\share\\a.def"));
    EXPECT_FALSE(platform::path_has_drive(""));
}

TEST(PlatformWin32, ExistenceAndDirectories) {
    test::c_temp_dir dir;
    const std::string file = dir.write("a.def", "x").string();
    const std::string folder = dir.path().string();
    EXPECT_TRUE(platform::path_exists(file));
    EXPECT_TRUE(platform::path_exists(folder));
    EXPECT_TRUE(platform::path_exists(folder + "\\"));
    EXPECT_FALSE(platform::path_exists(file + "x"));
    EXPECT_TRUE(platform::is_directory(folder));
    EXPECT_FALSE(platform::is_directory(file));
    EXPECT_FALSE(platform::is_directory(file + "x"));
}

TEST(PlatformWin32, ReplaceFileOverwritesTheTarget) {
    test::c_temp_dir dir;
    const std::string source = dir.write("new.tmp", "new").string();
    const std::string target = dir.write("Tarvel.amb", "old").string();
    EXPECT_TRUE(platform::replace_file(source, target));
    EXPECT_EQ(dir.read("Tarvel.amb"), "new");
    EXPECT_FALSE(std::filesystem::exists(source));
    // A missing source leaves the target alone.
    EXPECT_FALSE(platform::replace_file(source, target));
    EXPECT_EQ(dir.read("Tarvel.amb"), "new");
}

TEST(PlatformWin32, ResolvesDrivePathsAsGivenAndOthersBelowTheProgram) {
    test::c_temp_dir dir;
    const std::string file = dir.write("a.def", "x").string();
    const auto resolved = [](const std::string& path, const std::string& program_dir) {
        const c_result<std::string, input_path_problem> result =
            resolve_input_path(path.c_str(), program_dir);
        if (result) {
            return *result;
        }
        return std::string(result.error() == input_path_problem::invalid_path ? "<invalid path>"
                                                                              : "<not found>");
    };
    EXPECT_EQ(resolved(file, "ignored\\"), file);
    EXPECT_EQ(resolved(file + "x", ""), "<invalid path>");

    const std::string program_dir = program_directory(dir.path().string() + "\\Tarvel.exe");
    EXPECT_EQ(resolved("a.def", program_dir), program_dir + "a.def");
    EXPECT_EQ(resolved("b.def", program_dir), "<not found>");
}

TEST(PlatformWin32, VersionInformationOfTheProgram) {
    const platform::version_info info = platform::read_version_info(test::tarvel_executable());
    EXPECT_TRUE(info.available);
    EXPECT_EQ(info.file_version_ms, 0x00010005u);
    EXPECT_EQ(info.legal_copyright, TARVEL_LEGAL_COPYRIGHT);
    EXPECT_EQ(info.original_filename, "Tarvel.exe");
}

TEST(PlatformWin32, NoVersionInformationInOtherFiles) {
    test::c_temp_dir dir;
    const std::string text_file = dir.write("notes.txt", "no resource here\n").string();
    EXPECT_FALSE(platform::read_version_info(text_file).available);
    // The test program itself is built without a version resource.
    char own_path[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameA(nullptr, own_path, MAX_PATH), 0u);
    EXPECT_FALSE(platform::read_version_info(own_path).available);
}

// Every entry of the resource, read the way Windows' file properties read it.
TEST(VersionResource, CarriesTheProductTexts) {
    const std::string program = test::tarvel_executable();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    ASSERT_NE(size, 0u);
    std::vector<char> block(size);
    ASSERT_NE(GetFileVersionInfoA(program.c_str(), 0, size, block.data()), 0);

    void* value = nullptr;
    UINT length = 0;
    ASSERT_NE(VerQueryValueA(block.data(), "\\", &value, &length), 0);
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00030000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);

    ASSERT_NE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length), 0);
    ASSERT_EQ(length, 4u);
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1200);

    const std::pair<const char*, const char*> entries[] = {
        {"CompanyName", TARVEL_COMPANY_NAME},
        {"FileDescription", "Analyze code object sizes from linker map files"},
        {"FileVersion", "3.0.0.0"},
        {"InternalName", "Tarvel"},
        {"LegalCopyright", TARVEL_LEGAL_COPYRIGHT},
        {"OriginalFilename", "Tarvel.exe"},
        {"ProductName", "Tarvel"},
        {"ProductVersion", "3.0.0.0"},
    };
    for (const auto& [name, expected] : entries) {
        const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
        ASSERT_NE(VerQueryValueA(block.data(), key.c_str(), &value, &length), 0) << name;
        EXPECT_STREQ(static_cast<const char*>(value), expected) << name;
    }
}

}  // namespace
}  // namespace tarvel

#endif  // _WIN32
