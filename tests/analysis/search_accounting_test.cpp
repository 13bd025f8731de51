#include "analysis/search_accounting.h"

#include <gtest/gtest.h>

#include <deque>

namespace tarvel {
namespace {

// An entry that stays in place, as those of an entry list do: the accounting keeps the entries
// it credited. `name` must outlive it (a literal).
const c_map_entry& entry(std::string_view name, std::uint32_t size) {
    static std::deque<c_map_entry> entries;
    c_map_entry& e = entries.emplace_back();
    e.name = name;
    e.size = size;
    return e;
}

search_list searches_of(std::initializer_list<const char*> texts) {
    search_list searches;
    for (const char* text : texts) {
        searches.push_back(parse_terms(text));
    }
    return searches;
}

TEST(SearchAccounting, FirstMatchingSearchIsCreditedLaterMatchesAreAmbiguous) {
    search_list searches = searches_of({"abc", "|b"});
    c_search_accounting accounting(searches);
    accounting.account(entry("xabcx", 10));
    EXPECT_EQ(searches.front().total, 10u);
    EXPECT_EQ(searches.back().total, 0u);
    ASSERT_EQ(accounting.ambiguities().size(), 1u);
    const ambiguity& record = accounting.ambiguities().front();
    EXPECT_EQ(record.name, "xabcx");
    EXPECT_EQ(accounting.search_text(record.search), "|b ");
    EXPECT_EQ(accounting.search_text(record.earlier_search), "abc ");
    EXPECT_EQ(accounting.ambiguous_bytes(), 10u);
}

TEST(SearchAccounting, ARepeatedNameIsNeverCreditedAgain) {
    search_list searches = searches_of({"|x", "|y", "|z"});
    c_search_accounting accounting(searches);
    accounting.account(entry("xyz", 5));  // credited to the first, two ambiguities
    accounting.account(entry("y", 7));
    accounting.account(entry("y", 3));  // same name again: ambiguous with itself
    accounting.account(entry("Y", 1));  // another name: nothing matches
    EXPECT_EQ(searches.front().total, 5u);
    EXPECT_EQ((++searches.begin())->total, 7u);
    ASSERT_EQ(accounting.ambiguities().size(), 3u);
    EXPECT_EQ(accounting.ambiguities()[0].search, 1u);
    EXPECT_EQ(accounting.ambiguities()[0].earlier_search, 0u);
    EXPECT_EQ(accounting.ambiguities()[1].search, 2u);
    EXPECT_EQ(accounting.ambiguities()[1].earlier_search, 0u);
    EXPECT_EQ(accounting.ambiguities()[2].name, "y");
    EXPECT_EQ(accounting.ambiguities()[2].search, 1u);
    EXPECT_EQ(accounting.ambiguities()[2].earlier_search, 1u);
    EXPECT_EQ(accounting.ambiguous_bytes(), 5u + 5u + 3u);
}

TEST(SearchAccounting, NoneOnlySearchesNeverMatchAndBytesWrap) {
    search_list searches = searches_of({"!a", "|b"});
    c_search_accounting accounting(searches);
    accounting.account(entry("b", 0xFFFFFFFF));
    accounting.account(entry("b", 2));
    EXPECT_EQ(searches.front().total, 0u);
    EXPECT_EQ(searches.back().total, 0xFFFFFFFFu);
    EXPECT_EQ(accounting.ambiguous_bytes(), 2u);
}

TEST(SearchAccounting, EntriesNamingObjectFilesAreToldApartByTheirObject) {
    search_list searches = searches_of({"text"});
    c_search_accounting accounting(searches);
    c_map_entry main_text = entry(".text", 100);
    main_text.origin = 0;
    c_map_entry uart_text = entry(".text", 40);
    uart_text.origin = 1;
    EXPECT_EQ(accounting.account(main_text), 0u);
    EXPECT_EQ(accounting.account(uart_text), 0u);  // another object: credited as well
    EXPECT_EQ(searches.front().total, 140u);
    EXPECT_TRUE(accounting.ambiguities().empty());

    // The same name from the same object again is ambiguous; the record shows the plain name.
    EXPECT_EQ(accounting.account(uart_text), c_search_accounting::no_search);
    ASSERT_EQ(accounting.ambiguities().size(), 1u);
    EXPECT_EQ(accounting.ambiguities().front().name, ".text");
    // An entry without an object is a name of its own, as in the maps that name no files.
    EXPECT_EQ(accounting.account(entry(".text", 7)), 0u);
    EXPECT_EQ(searches.front().total, 147u);
}

}  // namespace
}  // namespace tarvel
