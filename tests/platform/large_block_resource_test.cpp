// The memory resource for large blocks, and the entry storage drawing on it as the programs
// set it up.
#include <gtest/gtest.h>

#include <cstring>
#include <memory_resource>
#include <string>
#include <vector>

#include "mapfile/entry_list.h"
#include "platform/platform.h"

namespace tarvel {
namespace {

TEST(LargeBlockResource, SmallAndLargeBlocksAreWritableAndFreed) {
    std::pmr::memory_resource* resource = platform::large_block_resource();
    // Below, at and past the size of a large page, and not a multiple of it.
    for (const std::size_t bytes : {std::size_t{64}, std::size_t{2} << 20, std::size_t{5000001}}) {
        for (int round = 0; round < 3; ++round) {
            auto* block = static_cast<unsigned char*>(resource->allocate(bytes, 16));
            ASSERT_NE(block, nullptr);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
            std::memset(block, 0xA5, bytes);
            EXPECT_EQ(block[bytes - 1], 0xA5);
            resource->deallocate(block, bytes, 16);
        }
    }
    EXPECT_TRUE(resource->is_equal(*platform::large_block_resource()));
}

// A list large enough for blocks of the resource's large size, sorted and read back.
TEST(LargeBlockResource, EntryListsKeepTheirEntriesInLargeBlocks) {
    std::pmr::memory_resource* previous =
        std::pmr::set_default_resource(platform::large_block_resource());
    {
        std::vector<std::string> names;
        for (int i = 0; i < 200000; ++i) {
            names.push_back(std::to_string(i).append(1, 'n'));
        }
        c_entry_list list;
        for (std::size_t i = 0; i < names.size(); ++i) {
            c_map_entry entry;
            entry.address = static_cast<std::uint32_t>((names.size() - i) * 16);
            entry.name = names[i];
            list.insert(entry);
        }
        std::size_t i = names.size();
        for (const c_map_entry& entry : list) {
            ASSERT_EQ(entry.name, names[--i]);
        }
        EXPECT_EQ(i, 0u);
    }
    std::pmr::set_default_resource(previous);
}

}  // namespace
}  // namespace tarvel
