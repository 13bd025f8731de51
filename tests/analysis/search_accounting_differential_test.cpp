// Differential tests: the indexed search accounting against the plain rule, every search's
// `matches` asked in list order and the credited names looked up in an ordered map.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "analysis/search_accounting.h"
#include "analysis/search_term_index.h"

namespace tarvel {
namespace {

struct outcome {
    std::vector<std::uint32_t> totals;
    std::vector<std::string> ambiguities;  // name, search, earlier search
    std::uint32_t ambiguous_bytes = 0;
};

std::string describe_ambiguity(std::string_view name, std::size_t search, std::size_t earlier) {
    return std::string(name) + " @" + std::to_string(search) + " after @" + std::to_string(earlier);
}

outcome plain_accounting(const search_list& searches, const std::vector<c_map_entry>& entries) {
    std::vector<search_def> copies(searches.begin(), searches.end());
    std::map<std::string, std::size_t> credited;
    outcome result;
    for (const auto& entry : entries) {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            if (!copies[i].matches(entry.name)) {
                continue;
            }
            const auto found = credited.find(std::string(entry.name));
            if (found == credited.end()) {
                credited.emplace(entry.name, i);
                copies[i].add(entry.size);
            } else {
                result.ambiguities.push_back(describe_ambiguity(entry.name, i, found->second));
                result.ambiguous_bytes += entry.size;
            }
        }
    }
    for (const auto& search : copies) {
        result.totals.push_back(search.total);
    }
    return result;
}

outcome indexed_accounting(search_list searches, const std::vector<c_map_entry>& entries) {
    c_search_accounting accounting(searches);
    for (const auto& entry : entries) {
        accounting.account(entry);
    }
    outcome result;
    for (const auto& search : searches) {
        result.totals.push_back(search.total);
    }
    for (const auto& record : accounting.ambiguities()) {
        result.ambiguities.push_back(
            describe_ambiguity(record.name, record.search, record.earlier_search));
    }
    result.ambiguous_bytes = accounting.ambiguous_bytes();
    return result;
}

// Random text over a small alphabet, so that terms overlap, nest and repeat often.
class c_random_text {
  public:
    explicit c_random_text(unsigned seed) : random_(seed) {}

    std::string text(std::size_t max_length, std::string_view alphabet) {
        std::string result(below(max_length + 1), ' ');
        for (auto& c : result) {
            c = alphabet[below(alphabet.size())];
        }
        return result;
    }
    std::size_t below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(random_); }

  private:
    std::mt19937 random_;
};

search_def random_search(c_random_text& random, std::string_view alphabet) {
    search_def search;
    const int shape = static_cast<int>(random.below(6));
    const auto terms = [&](std::vector<std::string>& list, std::size_t most) {
        for (std::size_t n = random.below(most + 1); n > 0; --n) {
            // Mostly short terms, sometimes empty ones (written "|" or "!" in a file).
            list.push_back(random.chance(0.08) ? std::string() : random.text(3, alphabet));
            if (random.chance(0.1)) {
                list.push_back(list.back());  // the same term twice
            }
        }
    };
    if (shape != 0) {
        terms(search.all_terms, 2);
        terms(search.any_terms, 3);
    }
    terms(search.none_terms, shape == 0 ? 3 : 2);  // shape 0: none terms only
    search.valid =
        !search.all_terms.empty() || !search.any_terms.empty() || !search.none_terms.empty();
    return search;
}

TEST(SearchAccountingDifferential, SameCreditsAmbiguitiesAndTotalsAsThePlainRule) {
    c_random_text random(20260);
    const std::string_view alphabets[] = {"ab", "abc_", "aAbB._1"};
    for (int round = 0; round < 400; ++round) {
        const std::string_view alphabet = alphabets[round % 3];
        search_list searches;
        for (std::size_t n = random.below(12); n > 0; --n) {
            searches.push_back(random_search(random, alphabet));
            if (random.chance(0.1)) {
                searches.push_back(searches.back());  // the same search twice
            }
        }
        std::vector<c_map_entry> entries;
        std::deque<std::string> names;  // the entries' names, which never move
        for (std::size_t n = random.below(60); n > 0; --n) {
            c_map_entry entry;
            // Names repeat: a map lists static symbols of the same name in several modules.
            entry.name = !names.empty() && random.chance(0.25)
                             ? names[random.below(names.size())]
                             : names.emplace_back(random.text(8, alphabet));
            entry.size = random.chance(0.05)
                             ? 0xFFFFFFF0u + static_cast<std::uint32_t>(random.below(16))
                             : static_cast<std::uint32_t>(random.below(1000));
            entries.push_back(entry);
        }
        const outcome expected = plain_accounting(searches, entries);
        const outcome actual = indexed_accounting(searches, entries);
        ASSERT_EQ(actual.totals, expected.totals) << "round " << round;
        ASSERT_EQ(actual.ambiguities, expected.ambiguities) << "round " << round;
        ASSERT_EQ(actual.ambiguous_bytes, expected.ambiguous_bytes) << "round " << round;
    }
}

// The index alone, with the automaton and without it (when it would be too large), gives
// exactly the searches whose `matches` is true.
TEST(SearchAccountingDifferential, IndexFindsExactlyTheMatchingSearches) {
    c_random_text random(7);
    for (const std::size_t table_limit :
         {c_search_term_index::default_max_table_entries, std::size_t{0}}) {
        for (int round = 0; round < 200; ++round) {
            std::vector<search_def> searches;
            for (std::size_t n = 1 + random.below(30); n > 0; --n) {
                searches.push_back(random_search(random, "abcab."));
            }
            std::vector<const search_def*> pointers;
            for (const auto& search : searches) {
                pointers.push_back(&search);
            }
            c_search_term_index index(pointers, table_limit);
            EXPECT_EQ(index.uses_automaton(), table_limit != 0);
            std::vector<std::size_t> found;
            for (int n = 0; n < 50; ++n) {
                const std::string name = random.text(12, "abcab.x");
                std::vector<std::size_t> expected;
                for (std::size_t s = 0; s < searches.size(); ++s) {
                    if (searches[s].matches(name)) {
                        expected.push_back(s);
                    }
                }
                index.find(name, found);
                ASSERT_EQ(found, expected) << "name [" << name << "] round " << round;
            }
        }
    }
}

TEST(SearchAccountingDifferential, TermsThatEndInsideOtherTerms) {
    // Terms that are suffixes and prefixes of one another, found at the same positions.
    std::vector<search_def> searches{parse_terms("|abcd"), parse_terms("bcd cd"),
                                     parse_terms("d !abc"), parse_terms("|bc |xyz"),
                                     parse_terms("| !d")};
    std::vector<const search_def*> pointers;
    for (const auto& search : searches) {
        pointers.push_back(&search);
    }
    c_search_term_index index(pointers);
    ASSERT_TRUE(index.uses_automaton());
    std::vector<std::size_t> found;
    index.find("abcd", found);
    EXPECT_EQ(found, (std::vector<std::size_t>{0, 1, 3}));
    index.find("xbcd", found);
    EXPECT_EQ(found, (std::vector<std::size_t>{1, 2, 3}));
    index.find("", found);
    EXPECT_EQ(found, (std::vector<std::size_t>{4}));  // only the empty any-term occurs
    index.find("zzz", found);
    EXPECT_EQ(found, (std::vector<std::size_t>{4}));
}

TEST(SearchAccountingDifferential, ManyNamesAreCreditedOnce) {
    // The table of credited names grows through many sizes; every name stays findable.
    search_list searches{parse_terms("|_")};
    c_search_accounting accounting(searches);
    // The accounting keeps the entries it credited: each stays in place, as in an entry list.
    std::vector<std::string> names;
    for (int i = 0; i < 200000; ++i) {
        names.push_back("symbol_" + std::to_string(i * 7919 % 200000));
    }
    std::vector<c_map_entry> entries(2 * names.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].name = names[i % names.size()];
        entries[i].size = 1;
    }
    for (const c_map_entry& entry : entries) {
        accounting.account(entry);
    }
    EXPECT_EQ(searches.front().total, 200000u);
    EXPECT_EQ(accounting.ambiguities().size(), 200000u);
    EXPECT_EQ(accounting.ambiguities().front().name, "symbol_0");
}

}  // namespace
}  // namespace tarvel
