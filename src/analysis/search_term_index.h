// Finds, for one name, every search of a list whose filter accepts it, with a single scan of
// the name for all terms of all searches.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "memdef/search_def.h"

namespace tarvel {

// Gives the same answer as calling `search_def::matches` of every search in turn, at a cost
// that does not grow with the number of searches: an Aho-Corasick automaton over the distinct
// terms finds all terms that occur in the name in one pass, and only the searches with one of
// those terms among their all- or any-terms are then evaluated. A search can only match when
// one of its all- or any-terms occurs, so the others are skipped safely; an empty term occurs
// in every name.
//
// When the automaton would be too large (an enormous number of terms), the index answers by
// calling `matches` of each search instead.
class c_search_term_index {
  public:
    // The searches are read now and must keep their terms while the index is used.
    explicit c_search_term_index(const std::vector<const search_def*>& searches,
                                 std::size_t max_table_entries = default_max_table_entries);

    // Replaces `matching` with the positions, ascending, of the searches that match `name`.
    void find(std::string_view name, std::vector<std::size_t>& matching);

    // Whether the automaton is used (false: every search is asked itself).
    bool uses_automaton() const { return !searches_.empty() && !table_.empty(); }

    // Transition table entries allowed: 4 Mi entries, 16 MiB (and always below 2^31).
    static constexpr std::size_t default_max_table_entries = std::size_t{4} << 20;

  private:
    using term_id = std::uint32_t;
    using state_id = std::uint32_t;
    static constexpr term_id no_term = 0xFFFFFFFFu;

    struct search_terms {
        std::vector<term_id> all;
        std::vector<term_id> any;
        std::vector<term_id> none;
    };

    bool build_automaton(const std::vector<std::string>& terms, std::size_t max_table_entries);
    void start_name();
    void mark(term_id term);
    bool seen(term_id term) const { return seen_stamp_[term] == stamp_; }
    bool evaluate(const search_terms& search) const;

    std::vector<const search_def*> searches_;
    std::vector<search_terms> search_terms_;
    // For each term, the searches that have it among their all- or any-terms, ascending.
    std::vector<std::vector<std::uint32_t>> triggers_;
    term_id empty_term_ = no_term;

    // The automaton: bytes that occur in some term have a class of their own, all others
    // share class 0. A state's row starts at state * classes_ in table_, and an entry of the
    // row holds the next state's row start, with output_flag set when a term ends in that
    // state or in one of its suffix states. State 0 is the root.
    static constexpr std::uint32_t output_flag = 0x80000000u;
    std::array<std::uint16_t, 256> byte_class_{};
    std::size_t classes_ = 1;
    std::vector<std::uint32_t> table_;
    std::vector<term_id> term_at_;       // the term that ends at a state, or no_term
    std::vector<state_id> output_link_;  // the nearest shorter suffix state with a term, or 0

    // Per-name scratch: a term or search is marked for the current name when its stamp
    // equals stamp_, so nothing has to be cleared between names.
    std::uint32_t stamp_ = 0;
    std::vector<std::uint32_t> seen_stamp_;  // per term
    std::vector<term_id> seen_terms_;
    std::vector<std::uint32_t> candidate_stamp_;  // per search
};

}  // namespace tarvel
