// The table of credited keys, and an accounting whose ambiguities go to a sink.
#include "analysis/credited_names.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "analysis/search_accounting.h"

namespace tarvel {
namespace {

TEST(CreditedNames, AKeyIsTheNameAndTheOriginOnce) {
    std::deque<std::string> names;
    std::deque<c_map_entry> entries;  // the table keeps the entries: they stay in place
    const auto entry = [&](const std::string& name, std::uint32_t origin) -> const c_map_entry& {
        c_map_entry& e = entries.emplace_back();
        e.name = names.emplace_back(name);
        e.origin = origin;
        return e;
    };
    c_credited_names table;
    const auto add = [&table](const c_map_entry& e) {
        return table.add(e, c_credited_names::hash_of(e));
    };
    // Enough keys to grow the table many times; each new once, then known.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 30000; ++i) {
            std::string name(1, 'k');
            name += std::to_string(i % 10000);
            const auto origin = static_cast<std::uint32_t>(i / 10000);  // 0, 1, 2
            ASSERT_EQ(add(entry(name, origin)), pass == 0) << name << " " << origin;
        }
    }
    EXPECT_EQ(table.size(), 30000u);
    EXPECT_TRUE(add(entry("k1", no_origin)));  // without an object: a key of its own
    EXPECT_TRUE(add(entry("", no_origin)));
    EXPECT_FALSE(add(entry("", no_origin)));
}

TEST(CreditedNames, AReservedTableTakesAllKeysAndStillGrowsPastThem) {
    std::vector<std::string> names;
    for (int i = 0; i < 5000; ++i) {
        names.push_back(std::string(static_cast<std::size_t>(i % 40), 'a') + std::to_string(i));
    }
    std::vector<c_map_entry> entries(names.size());
    c_credited_names table;
    table.reserve(100);
    for (std::size_t i = 0; i < names.size(); ++i) {
        entries[i].name = names[i];
        ASSERT_TRUE(table.add(entries[i], c_credited_names::hash_of(entries[i])));
    }
    for (const c_map_entry& e : entries) {
        ASSERT_FALSE(table.add(e, c_credited_names::hash_of(e)));
    }
}

class c_collecting_sink : public c_ambiguity_sink {
  public:
    void take(std::string_view name, const std::string& search,
              const std::string& earlier_search) override {
        std::string line(name);
        line.append("#").append(search).append("#").append(earlier_search);
        lines.push_back(std::move(line));
    }
    std::vector<std::string> lines;
};

TEST(SearchAccountingSink, TakesEveryAmbiguityInOrderAndNoneIsKept) {
    search_list searches{parse_terms("|x"), parse_terms("|y"), parse_terms("|z")};
    c_search_accounting accounting(searches, 3);
    c_collecting_sink sink;
    accounting.send_ambiguities_to(&sink);
    std::vector<c_map_entry> entries(3);
    entries[0].name = "xyz";
    entries[0].size = 5;
    entries[1].name = "y";
    entries[1].size = 7;
    entries[2].name = "xyz";
    entries[2].size = 1;
    for (const c_map_entry& e : entries) {
        accounting.account(e);
    }
    // The first search that matches a name is its earlier search, also for a repeated name.
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"xyz#|y #|x ", "xyz#|z #|x ", "xyz#|x #|x ",
                                                    "xyz#|y #|x ", "xyz#|z #|x "}));
    EXPECT_TRUE(accounting.ambiguities().empty());
    EXPECT_EQ(accounting.ambiguity_count(), 5u);
    EXPECT_EQ(accounting.ambiguous_bytes(), 5u + 5u + 1u + 1u + 1u);
    EXPECT_EQ(searches.front().total, 5u);
}

}  // namespace
}  // namespace tarvel
