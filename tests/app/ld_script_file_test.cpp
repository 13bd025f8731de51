#include "app/ld_script_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

TEST(LdScriptFile, IncludedFilesAreReadBesideTheScript) {
    const test::c_temp_dir dir;
    std::filesystem::create_directory(dir.path() / "ld");
    dir.write("ld/regions.ld", "FLASH (rx) : ORIGIN = 0x0, LENGTH = 256K\n");
    dir.write("ld/sizes.ld", "RAM_SIZE = 32K;\n");
    const std::string script = dir.write("ld/link.ld",
                                         "INCLUDE sizes.ld\n"
                                         "MEMORY {\n"
                                         "  INCLUDE \"regions.ld\"\n"
                                         "  RAM (rw) : ORIGIN = 0x20000000, LENGTH = RAM_SIZE\n"
                                         "}\n")
                                   .string();
    const c_result<std::vector<ld_script_region>, std::string> regions =
        read_ld_script_file(script);
    ASSERT_TRUE(regions) << regions.error();
    ASSERT_EQ(regions->size(), 2u);
    EXPECT_EQ(regions->at(0).name, "FLASH");
    EXPECT_EQ(regions->at(1).length, 32u * 1024u);
    // A missing script, and a missing included file, end with a message.
    const auto failure = [](const c_result<std::vector<ld_script_region>, std::string>& result) {
        EXPECT_FALSE(result);
        return result ? std::string() : result.error();
    };
    std::string error = failure(read_ld_script_file((dir.path() / "none.ld").string()));
    EXPECT_NE(error.find("cannot read the linker script"), std::string::npos) << error;
    dir.write("ld/gone.ld", "INCLUDE none.ld\n");
    error = failure(read_ld_script_file((dir.path() / "ld" / "gone.ld").string()));
    EXPECT_NE(error.find("cannot read the included file 'none.ld'"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvel
