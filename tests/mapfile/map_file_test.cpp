#include "mapfile/map_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

// Exposes the placement rule of the base class.
class c_placing_reader : public c_map_file {
  public:
    using c_map_file::c_map_file;
    using c_map_file::place;
};

// `name` must outlive the entry (a literal): entries hold a view of it.
c_map_entry entry(std::uint32_t address, std::uint32_t size, std::string_view name = "x") {
    c_map_entry e;
    e.address = address;
    e.size = size;
    e.name = name;
    return e;
}

TEST(MapFile, OpensFilesButNotDirectoriesOrMissingPaths) {
    test::c_temp_dir dir;
    const auto path = dir.write("a.map", "x\n");
    EXPECT_TRUE(c_map_file(text_source::file(path.string())).is_open());
    EXPECT_EQ(c_map_file(text_source::file(path.string())).file_name(), path.string());
    EXPECT_FALSE(c_map_file(text_source::file((dir.path() / "missing.map").string())).is_open());
    EXPECT_FALSE(c_map_file(text_source::file(dir.path().string())).is_open());
}

TEST(MapFile, BaseParseReadsNothing) {
    test::c_temp_dir dir;
    c_map_file reader(text_source::file(dir.write("a.map", "x\n").string()));
    c_memory_def def;
    c_entry_list program;
    c_entry_list memory;
    const c_result<parsed_map> parsed = reader.parse(def, program, memory);
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->placed_any);
    std::vector<c_map_entry> entries{entry(1, 1)};
    reader.post_process(entries);
    EXPECT_EQ(entries.size(), 1u);
}

TEST(Placement, ProgramAreasFirstThenRamElseDropped) {
    c_memory_def def;
    def.program = {{0x0, 0x1000, no_area}, {0x800, 0x1000, no_area}};
    def.memory = {{0x0, 0x100000, no_area}};
    c_entry_list program;
    c_entry_list memory;
    EXPECT_TRUE(c_placing_reader::place(entry(0x900, 0x10, "both"), def, &program, &memory));
    EXPECT_TRUE(c_placing_reader::place(entry(0xFF0, 0x20, "second"), def, &program, &memory));
    EXPECT_TRUE(c_placing_reader::place(entry(0x5000, 0x10, "ram"), def, &program, &memory));
    EXPECT_FALSE(c_placing_reader::place(entry(0x200000, 0x10), def, &program, &memory));
    EXPECT_FALSE(c_placing_reader::place(entry(0x10, 0), def, &program, &memory));
    ASSERT_EQ(program.size(), 2u);
    EXPECT_EQ(program.front().name, "both");
    EXPECT_EQ(program.front().index, 0u);  // the overlapping area that comes first
    EXPECT_EQ((++program.begin())->index, 1u);
    ASSERT_EQ(memory.size(), 1u);
    EXPECT_EQ(memory.front().index, 0u);

    // Without a program list, program-area entries may still land in RAM.
    c_entry_list only_memory;
    EXPECT_TRUE(c_placing_reader::place(entry(0x900, 0x10), def, nullptr, &only_memory));
    EXPECT_EQ(only_memory.size(), 1u);
}

}  // namespace
}  // namespace tarvel
