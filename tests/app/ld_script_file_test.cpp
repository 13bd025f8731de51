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
    std::vector<ld_script_region> regions;
    std::string error;
    ASSERT_TRUE(read_ld_script_file(script, regions, error)) << error;
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0].name, "FLASH");
    EXPECT_EQ(regions[1].length, 32u * 1024u);
    // A missing script, and a missing included file, end with a message.
    EXPECT_FALSE(read_ld_script_file((dir.path() / "none.ld").string(), regions, error));
    EXPECT_NE(error.find("cannot read the linker script"), std::string::npos) << error;
    dir.write("ld/gone.ld", "INCLUDE none.ld\n");
    EXPECT_FALSE(read_ld_script_file((dir.path() / "ld" / "gone.ld").string(), regions, error));
    EXPECT_NE(error.find("cannot read the included file 'none.ld'"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvel
