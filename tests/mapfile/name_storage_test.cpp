// The storage of entry names: the arena's views survive its growth and moves, and the lists
// that keep entries own their names, so an entry may be filled from a line that is gone next.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "mapfile/entry_list.h"
#include "mapfile/entry_vector.h"
#include "mapfile/name_arena.h"

namespace tarvel {
namespace {

TEST(NameArena, ViewsStayValidThroughGrowthAndMoves) {
    c_name_arena arena;
    std::vector<std::string> names;
    std::vector<std::string_view> views;
    for (int i = 0; i < 50000; ++i) {
        // Short names, an empty one, and some larger than a whole block.
        names.push_back(i % 10000 == 7 ? std::string(3 << 20, 'x')
                        : i % 977 == 0 ? std::string()
                                       : "name_" + std::to_string(i));
        views.push_back(arena.store(names.back()));
    }
    c_name_arena moved = std::move(arena);
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(views[i], names[i]) << i;
    }
    EXPECT_GE(moved.capacity(), std::size_t{5} * (3 << 20));
}

TEST(NameArena, ClearedArenaReusesItsNewestBlock) {
    c_name_arena arena;
    for (int i = 0; i < 2000; ++i) {
        arena.store("a name of some length " + std::to_string(i));
    }
    const std::size_t grown = arena.capacity();
    arena.clear();
    EXPECT_LE(arena.capacity(), grown);
    const std::size_t kept = arena.capacity();
    // Runs of names stored and forgotten, as a reader does section after section, ask for no
    // more memory than one run needs.
    for (int run = 0; run < 100; ++run) {
        std::vector<std::string_view> views;
        for (int i = 0; i < 20; ++i) {
            views.push_back(arena.store("piece_" + std::to_string(run) + "_" + std::to_string(i)));
        }
        for (int i = 0; i < 20; ++i) {
            ASSERT_EQ(views[i], "piece_" + std::to_string(run) + "_" + std::to_string(i));
        }
        arena.clear();
    }
    EXPECT_EQ(arena.capacity(), kept);
    c_name_arena empty;
    empty.clear();
    EXPECT_EQ(empty.store("first"), "first");
}

TEST(EntryStorage, ListsAndVectorsCopyTheNamesTheyAreGiven) {
    c_entry_list list;
    c_entry_vector vector;
    for (int i = 0; i < 3000; ++i) {
        std::string line = "symbol_" + std::to_string(i);  // gone after this step
        c_map_entry entry;
        entry.address = static_cast<std::uint32_t>(3000 - i);
        entry.name = line;
        list.insert(entry);
        vector.push_back(entry);
        line.assign(line.size(), '#');
    }
    int i = 2999;
    for (const c_map_entry& entry : list) {  // descending insertion: sorted on the first read
        ASSERT_EQ(entry.name, "symbol_" + std::to_string(i--));
    }
    // A copy owns copies: it outlives the vector it came from.
    auto copy = std::make_unique<c_entry_vector>(vector);
    vector = c_entry_vector();
    ASSERT_EQ(copy->size(), 3000u);
    EXPECT_EQ((*copy)[0].name, "symbol_0");
    EXPECT_EQ(copy->back().name, "symbol_2999");
    const c_entry_vector moved = std::move(*copy);
    copy.reset();
    EXPECT_EQ(moved[1234].name, "symbol_1234");
}

TEST(EntryStorage, UnorderedVisitSeesEveryEntryWithoutSorting) {
    c_entry_list list;
    std::uint64_t inserted = 0;
    for (std::uint32_t i = 0; i < 5000; ++i) {
        c_map_entry entry;
        entry.address = (i * 2654435761u) & 0xFFFFu;
        entry.size = i;
        entry.name = "n";
        list.insert(entry);
        inserted += i;
    }
    std::uint64_t visited = 0;
    std::size_t count = 0;
    list.for_each_unordered([&](const c_map_entry& entry) {
        visited += entry.size;
        ++count;
    });
    EXPECT_EQ(count, 5000u);
    EXPECT_EQ(visited, inserted);
    // Sorting afterwards leaves nothing out either.
    std::uint32_t last = 0;
    count = 0;
    for (const c_map_entry& entry : list) {
        ASSERT_LE(last, entry.address);
        last = entry.address;
        ++count;
    }
    EXPECT_EQ(count, 5000u);
}

}  // namespace
}  // namespace tarvel
