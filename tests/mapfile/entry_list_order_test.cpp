// The entry list against the plain rule it stands for (insert each entry before the first one
// whose address is not below its own), with reads and insertions interleaved and lists large
// enough to span many storage blocks.
#include <gtest/gtest.h>

#include <deque>
#include <list>
#include <random>
#include <string>
#include <vector>

#include "mapfile/entry_list.h"

namespace tarvel {
namespace {

class c_reference_list {
  public:
    void insert(const c_map_entry& entry) {
        auto at = entries_.begin();
        while (at != entries_.end() && at->address < entry.address) {
            ++at;
        }
        entries_.insert(at, entry);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& entry : entries_) {
            result.emplace_back(entry.name);
        }
        return result;
    }

  private:
    std::list<c_map_entry> entries_;
};

// Keeps the names of the entries, whose views the reference list holds, in place.
class c_names {
  public:
    std::string_view add(std::string name) { return texts_.emplace_back(std::move(name)); }

  private:
    std::deque<std::string> texts_;
};

std::vector<std::string> names_of(const c_entry_list& list) {
    std::vector<std::string> result;
    for (auto at = list.begin(); at != list.end(); at++) {
        result.emplace_back(at->name);
    }
    return result;
}

TEST(EntryListOrder, ReadsBetweenInsertionsKeepTheRule) {
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        c_entry_list list;
        c_reference_list reference;
        c_names names;
        const std::uint32_t spread = round % 2 == 0 ? 16 : 0xFFFFFFFFu;
        const int count = round < 36 ? 300 : 3000;
        for (int i = 0; i < count; ++i) {
            c_map_entry entry;
            // Runs of ascending addresses, as maps list them, mixed with random ones.
            entry.address =
                random() % 3 == 0
                    ? static_cast<std::uint32_t>(i)
                    : static_cast<std::uint32_t>(random() % (std::uint64_t{spread} + 1));
            entry.name = names.add(std::to_string(i));
            list.insert(entry);
            reference.insert(entry);
            if (random() % 97 == 0) {
                ASSERT_EQ(names_of(list), reference.names()) << "round " << round << " at " << i;
            }
        }
        ASSERT_EQ(names_of(list), reference.names()) << "round " << round;
        EXPECT_EQ(list.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(list.front().name, reference.names().front());
    }
}

TEST(EntryListOrder, AscendingInsertionsAfterASortStayInOrder) {
    c_entry_list list;
    c_reference_list reference;
    c_names names;
    const auto add = [&](std::uint32_t address, const std::string& name) {
        c_map_entry entry;
        entry.address = address;
        entry.name = names.add(name);
        list.insert(entry);
        reference.insert(entry);
    };
    for (std::uint32_t i = 0; i < 2500; ++i) {
        add(5000 - i, "down" + std::to_string(i));  // sorted on the first read
    }
    EXPECT_EQ(names_of(list), reference.names());
    for (std::uint32_t i = 0; i < 2500; ++i) {
        add(6000 + i, "up" + std::to_string(i));  // beyond the last: no sort needed
    }
    EXPECT_EQ(names_of(list), reference.names());
    add(6000, "again");  // equal to an address inside: before it
    add(0xFFFFFFFF, "top");
    add(0, "bottom");
    EXPECT_EQ(names_of(list), reference.names());
}

TEST(EntryListOrder, EmptyList) {
    const c_entry_list list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.size(), 0u);
    EXPECT_TRUE(list.begin() == list.end());
}

}  // namespace
}  // namespace tarvel
