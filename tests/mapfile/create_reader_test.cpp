#include "mapfile/create_reader.h"

#include <gtest/gtest.h>

#include "mapfile/map_file_altium.h"
#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/map_file_gnu.h"
#include "mapfile/map_file_otter.h"
#include "mapfile/map_formats.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

template <typename Reader>
bool is_exactly(const std::unique_ptr<c_map_file>& reader) {
    if (!reader) {
        return false;
    }
    const c_map_file& object = *reader;
    return typeid(object) == typeid(Reader);
}

TEST(CreateReader, EachKeywordSelectsItsReaderOnTheOpenedMap) {
    const test::c_temp_dir dir;
    const std::string map = dir.write("a.map", "x\n").string();
    EXPECT_TRUE(is_exactly<c_map_file_altium>(create_reader("Orca", text_source::file(map))));
    EXPECT_TRUE(is_exactly<c_map_file_elxr>(create_reader("Puma", text_source::file(map))));
    EXPECT_TRUE(is_exactly<c_map_file_elxr_mem32_unlimited>(
        create_reader("Puma_mem32_unlimited", text_source::file(map))));
    EXPECT_TRUE(is_exactly<c_map_file_elxr_ibex>(create_reader("Ibex", text_source::file(map))));
    EXPECT_TRUE(is_exactly<c_map_file_elxr_wren>(create_reader("Wren", text_source::file(map))));
    EXPECT_TRUE(create_reader("Wren", text_source::file(map))->is_open());
    EXPECT_EQ(create_reader("Wren", text_source::file(map))->file_name(), map);
    EXPECT_FALSE(
        create_reader("Orca", text_source::file((dir.path() / "none.map").string()))->is_open());
}

// A map that cannot be read is an error naming the file, and not a map that places nothing:
// the run reports the first and succeeds quietly on the second.
TEST(CreateReader, EveryReaderNamesAMapItCannotOpen) {
    const test::c_temp_dir dir;
    const std::string missing = (dir.path() / "none.map").string();
    const c_memory_def def;
    for (const map_format& format : map_formats()) {
        const std::string type(format.keyword);
        for (const std::string& path : {missing, dir.path().string()}) {
            const auto reader = create_reader(type, text_source::file(path));
            ASSERT_NE(reader, nullptr) << type;
            c_entry_list program;
            c_entry_list memory;
            const c_result<parsed_map> parsed = reader->parse(def, program, memory);
            ASSERT_FALSE(parsed) << type << " " << path;
            EXPECT_EQ(parsed.error().file, path) << type;
            EXPECT_EQ(located_message(parsed.error()), path + ": cannot be opened for reading");
        }
        const auto empty = create_reader(type, text_source::file(dir.write("e.map", "").string()));
        c_entry_list program;
        c_entry_list memory;
        const c_result<parsed_map> parsed = empty->parse(def, program, memory);
        ASSERT_TRUE(parsed) << type;
        EXPECT_FALSE(parsed->placed_any) << type;
    }
}

TEST(CreateReader, KeywordsAreComparedExactly) {
    for (const char* type : {"orca", "ORCA", "Orca ", " Orca", "Puma_mem32", "Puma_", "Wrens",
                             "Ibe", "puma_mem32_unlimited", ""}) {
        EXPECT_EQ(create_reader(type, text_source::file("a.map")), nullptr) << type;
    }
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

TEST(CreateReader, GnuAndOtterFollowTheFiveTypes) {
    const test::c_temp_dir dir;
    const std::string map = dir.write("a.map", "x\n").string();
    EXPECT_TRUE(is_exactly<c_map_file_gnu>(create_reader("Gnu", text_source::file(map))));
    EXPECT_TRUE(is_exactly<c_map_file_otter>(create_reader("Otter", text_source::file(map))));
    for (const char* type : {"gnu", "GNU", "Gnu ", "otter", "OTTER"}) {
        EXPECT_EQ(create_reader(type, text_source::file(map)), nullptr) << type;
    }
}

}  // namespace
}  // namespace tarvel
