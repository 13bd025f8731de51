#include "mapfile/entry_list.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

namespace tarvel {
namespace {

// `name` must outlive the entry: the list copies it, but a reference vector keeps the view.
c_map_entry entry(std::uint32_t address, std::string_view name) {
    c_map_entry e;
    e.address = address;
    e.size = 1;
    e.name = name;
    return e;
}

std::vector<std::string> names(const c_entry_list& list) {
    std::vector<std::string> result;
    for (const auto& e : list) {
        result.emplace_back(e.name);
    }
    return result;
}

TEST(EntryList, AscendingAddressesLaterEqualAddressFirst) {
    c_entry_list list;
    list.insert(entry(0x300, "a"));
    list.insert(entry(0x100, "b"));
    list.insert(entry(0x200, "c"));
    list.insert(entry(0x100, "d"));
    list.insert(entry(0xFFFFFFFF, "e"));
    list.insert(entry(0x100, "f"));
    EXPECT_EQ(names(list), (std::vector<std::string>{"f", "d", "b", "c", "a", "e"}));
    EXPECT_EQ(list.size(), 6u);
    EXPECT_EQ(list.front().name, "f");
}

TEST(EntryList, EqualAddressesInARowAreReversed) {
    c_entry_list list;
    list.insert(entry(5, "first"));
    list.insert(entry(5, "second"));
    EXPECT_EQ(names(list), (std::vector<std::string>{"second", "first"}));
    list.insert(entry(6, "third"));  // inserting after reading keeps the order rule
    list.insert(entry(5, "fourth"));
    EXPECT_EQ(names(list), (std::vector<std::string>{"fourth", "second", "first", "third"}));
}

TEST(EntryList, MatchesInsertionBeforeTheFirstNotSmallerAddress) {
    // The reference: a plain list with that insertion rule.
    std::mt19937 random(42);
    c_entry_list list;
    std::vector<c_map_entry> reference;
    std::deque<std::string> texts;  // never moves its strings
    for (int i = 0; i < 2000; ++i) {
        const c_map_entry e = entry(random() % 64, texts.emplace_back(std::to_string(i)));
        auto at = reference.begin();
        while (at != reference.end() && at->address < e.address) {
            ++at;
        }
        reference.insert(at, e);
        list.insert(e);
    }
    std::vector<std::string> expected;
    for (const auto& e : reference) {
        expected.emplace_back(e.name);
    }
    EXPECT_EQ(names(list), expected);
}

// A list that takes the entries of another gives what one list gives that had them all
// inserted, in either order of addresses (ascending runs, ties, entries out of order on either
// side), once read in order and once read again after more entries; the origins renumbered.
TEST(EntryList, TakingAnotherListsEntriesIsInsertingThemAfterwards) {
    std::mt19937 random(11);
    std::deque<std::string> texts;
    for (int round = 0; round < 300; ++round) {
        c_entry_list all;
        c_entry_list earlier;
        c_entry_list later;
        const int count = static_cast<int>(random() % 40);
        const int split = count == 0 ? 0 : static_cast<int>(random() % (count + 1));
        std::uint32_t address = 0;
        for (int i = 0; i < count; ++i) {
            address = random() % 3 == 0 ? static_cast<std::uint32_t>(random() % 64)
                                        : address + static_cast<std::uint32_t>(random() % 3);
            c_map_entry e = entry(address, texts.emplace_back(std::to_string(i)));
            e.origin = i < split ? 0 : 1;  // the later list's origin 1 is 5 here
            c_map_entry renumbered = e;
            renumbered.origin = i < split ? 0 : 5;
            all.insert(renumbered);
            (i < split ? earlier : later).insert(e);
        }
        earlier.take_all_of(std::move(later), {7, 5});
        EXPECT_EQ(earlier.size(), all.size());
        EXPECT_TRUE(later.empty());
        EXPECT_EQ(names(earlier), names(all)) << round;
        for (const c_map_entry& e : earlier) {
            EXPECT_EQ(e.origin, std::stoi(std::string(e.name)) < split ? 0u : 5u);
        }
        earlier.insert(entry(7, "after"));
        all.insert(entry(7, "after"));
        EXPECT_EQ(names(earlier), names(all)) << round;
    }
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

// A list that keeps the sums alone gives every visitor that adds up sizes per area and kind
// what the full list gives, sums wrapping at 2^32 alike, and counts every entry.
TEST(EntryList, SumsOnlyAddUpAsTheEntriesDo) {
    c_entry_list full;
    c_entry_list sums;
    sums.keep_sums_only();
    std::mt19937 random(7);
    for (int i = 0; i < 5000; ++i) {
        c_map_entry entry;
        entry.address = static_cast<std::uint32_t>(random());
        entry.size = i % 97 == 0 ? 0xFFFFFF00u : static_cast<std::uint32_t>(random() % 4096);
        entry.index = static_cast<std::uint32_t>(random() % 5) * 3;  // areas 0, 3, ... 12
        entry.is_bit = random() % 4 == 0 ? 1 : 0;
        entry.name = "name";
        full.insert(entry);
        sums.insert(entry);
    }
    const auto add_up = [](const c_entry_list& list) {
        std::vector<std::uint32_t> totals(13 * 2, 0);
        list.for_each_unordered([&](const c_map_entry& entry) {
            EXPECT_TRUE(entry.is_bit == 0 || entry.is_bit == 1);
            totals[entry.index * 2 + static_cast<std::uint32_t>(entry.is_bit)] += entry.size;
        });
        return totals;
    };
    EXPECT_EQ(add_up(sums), add_up(full));
    EXPECT_EQ(sums.size(), full.size());
    EXPECT_FALSE(sums.empty());
    std::size_t folded = 0;
    sums.for_each_unordered([&](const c_map_entry& entry) {
        EXPECT_TRUE(entry.name.empty());
        ++folded;
    });
    EXPECT_EQ(folded, 10u);  // five areas, bytes and bits

    // Taking another list of sums adds its sums and its count.
    c_entry_list more;
    more.keep_sums_only();
    c_map_entry extra;
    extra.index = 12;
    extra.size = 5;
    more.insert(extra);
    more.insert(extra);
    std::vector<std::uint32_t> expected = add_up(sums);
    expected[24] += 10;
    sums.take_all_of(std::move(more), {});
    EXPECT_EQ(add_up(sums), expected);
    EXPECT_EQ(sums.size(), full.size() + 2);
}

}  // namespace
}  // namespace tarvel
