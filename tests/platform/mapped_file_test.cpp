// Files mapped read-only: their bytes as written, and what cannot be mapped.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

TEST(MappedFile, HoldsTheFilesBytesAndAnEmptyFileIsOpenAndEmpty) {
    const test::c_temp_dir dir;
    std::string content(70000, 'x');  // more than a page
    content[0] = '\x7f';
    content.back() = '\0';
    const platform::c_mapped_file mapped(dir.write("a.elf", content).string());
    ASSERT_TRUE(mapped.is_open());
    ASSERT_EQ(mapped.bytes().size(), content.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mapped.bytes().data()), content.size()),
              content);

    const platform::c_mapped_file empty(dir.write("empty", "").string());
    EXPECT_TRUE(empty.is_open());
    EXPECT_TRUE(empty.bytes().empty());
}

TEST(MappedFile, AMissingFileOrADirectoryIsNotOpen) {
    const test::c_temp_dir dir;
    EXPECT_FALSE(platform::c_mapped_file((dir.path() / "missing").string()).is_open());
    EXPECT_FALSE(platform::c_mapped_file(dir.path().string()).is_open());
}

}  // namespace
}  // namespace tarvel
