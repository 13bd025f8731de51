// A named search of the memory definition: a filter over entry names, and the bytes credited
// to it during the analysis.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct search_def {
    std::vector<std::string> any_terms;   // written "|term": one of them must occur
    std::vector<std::string> all_terms;   // written "term": all of them must occur
    std::vector<std::string> none_terms;  // written "!term": none of them may occur
    bool valid = false;                   // true when at least one list holds a term
    std::uint32_t total = 0;              // bytes credited, modulo 2^32

    // Credits `size` bytes when the search is valid; returns whether it did.
    bool add(std::uint32_t size);

    // (all terms occur, or one of the any terms occurs) and none of the none terms occurs;
    // every test is a case-sensitive substring test, and an empty term occurs in every name.
    bool matches(std::string_view name) const;

    // The search's text form: all terms, then "|" any terms, then "!" none terms, each followed
    // by one blank.
    std::string describe() const;
};

using search_list = std::list<search_def>;

// Splits the text of a SEARCH line into its terms. Only the first character of a term is a
// prefix ("!" or "|"). Sets `valid` when any term was found.
search_def parse_terms(std::string_view text);

}  // namespace tarvel
