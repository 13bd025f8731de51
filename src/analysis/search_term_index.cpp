#include "analysis/search_term_index.h"

#include <algorithm>
#include <unordered_map>

namespace tarvel {

c_search_term_index::c_search_term_index(const std::vector<const search_def*>& searches,
                                         std::size_t max_table_entries)
    : searches_(searches) {
    std::vector<std::string> terms;
    std::unordered_map<std::string, term_id> ids;
    const auto id_of = [&](const std::string& term) {
        const auto [found, is_new] = ids.try_emplace(term, static_cast<term_id>(terms.size()));
        if (is_new) {
            terms.push_back(term);
            triggers_.emplace_back();
        }
        return found->second;
    };
    search_terms_.resize(searches_.size());
    for (std::size_t s = 0; s < searches_.size(); ++s) {
        search_terms& own = search_terms_[s];
        for (const auto& term : searches_[s]->all_terms) {
            own.all.push_back(id_of(term));
        }
        for (const auto& term : searches_[s]->any_terms) {
            own.any.push_back(id_of(term));
        }
        for (const auto& term : searches_[s]->none_terms) {
            own.none.push_back(id_of(term));
        }
        // Searched in ascending order, so each trigger list stays ascending; a term used
        // twice by the same search is listed once.
        for (const auto* list : {&own.all, &own.any}) {
            for (const term_id term : *list) {
                auto& trigger = triggers_[term];
                if (trigger.empty() || trigger.back() != s) {
                    trigger.push_back(static_cast<std::uint32_t>(s));
                }
            }
        }
    }
    const auto empty = ids.find(std::string());
    empty_term_ = empty == ids.end() ? no_term : empty->second;
    seen_stamp_.assign(terms.size(), 0);
    candidate_stamp_.assign(searches_.size(), 0);
    if (!build_automaton(terms, max_table_entries)) {
        table_.clear();
        term_at_.clear();
        output_link_.clear();
    }
}

bool c_search_term_index::build_automaton(const std::vector<std::string>& terms,
                                          std::size_t max_table_entries) {
    byte_class_.fill(0);
    classes_ = 1;
    std::size_t characters = 0;
    for (const auto& term : terms) {
        characters += term.size();
        for (const char c : term) {
            auto& cls = byte_class_[static_cast<unsigned char>(c)];
            if (cls == 0) {
                cls = static_cast<std::uint16_t>(classes_++);
            }
        }
    }
    // Every state but the root ends one character of a term.
    if ((characters + 1) * classes_ > std::min<std::size_t>(max_table_entries, output_flag)) {
        return false;
    }
    // The trie of the terms; missing transitions are 0 for now.
    std::vector<state_id> trie(classes_, 0);
    term_at_.assign(1, no_term);
    for (term_id id = 0; id < terms.size(); ++id) {
        if (terms[id].empty()) {
            continue;  // occurs everywhere; start_name marks it
        }
        state_id state = 0;
        for (const char c : terms[id]) {
            const std::size_t slot = state * classes_ + byte_class_[static_cast<unsigned char>(c)];
            if (trie[slot] == 0) {
                trie[slot] = static_cast<state_id>(term_at_.size());
                term_at_.push_back(no_term);
                trie.resize(trie.size() + classes_, 0);
            }
            state = trie[slot];
        }
        term_at_[state] = id;
    }
    // Breadth first, each state's failure state (its longest proper suffix that is a state)
    // is known before its children: a missing transition then continues from the failure
    // state's, which completes the trie into a deterministic automaton.
    const std::size_t states = term_at_.size();
    table_ = std::move(trie);
    output_link_.assign(states, 0);
    std::vector<state_id> failure(states, 0);
    std::vector<state_id> queue;
    queue.reserve(states);
    for (std::size_t cls = 0; cls < classes_; ++cls) {
        const state_id child = table_[cls];
        if (child != 0) {
            queue.push_back(child);  // failure and output link: the root
        }
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const state_id state = queue[head];
        for (std::size_t cls = 0; cls < classes_; ++cls) {
            state_id& next = table_[state * classes_ + cls];
            const state_id fallback = table_[failure[state] * classes_ + cls];
            if (next == 0) {
                next = fallback;
                continue;
            }
            failure[next] = fallback;
            output_link_[next] = term_at_[fallback] != no_term ? fallback : output_link_[fallback];
            queue.push_back(next);
        }
    }
    // From state numbers to row starts with the output flag.
    for (auto& next : table_) {
        const state_id state = next;
        next = static_cast<std::uint32_t>(state * classes_);
        if (term_at_[state] != no_term || output_link_[state] != 0) {
            next |= output_flag;
        }
    }
    return true;
}

void c_search_term_index::start_name() {
    if (++stamp_ == 0) {
        // After 2^32 names the stamps start over.
        std::fill(seen_stamp_.begin(), seen_stamp_.end(), 0);
        std::fill(candidate_stamp_.begin(), candidate_stamp_.end(), 0);
        stamp_ = 1;
    }
    seen_terms_.clear();
    if (empty_term_ != no_term) {
        mark(empty_term_);
    }
}

void c_search_term_index::mark(term_id term) {
    seen_stamp_[term] = stamp_;
    seen_terms_.push_back(term);
}

bool c_search_term_index::evaluate(const search_terms& search) const {
    const bool all_test = !search.all.empty() && std::all_of(search.all.begin(), search.all.end(),
                                                             [this](term_id t) { return seen(t); });
    const bool any_test =
        std::any_of(search.any.begin(), search.any.end(), [this](term_id t) { return seen(t); });
    if (!all_test && !any_test) {
        return false;
    }
    return std::none_of(search.none.begin(), search.none.end(),
                        [this](term_id t) { return seen(t); });
}

void c_search_term_index::find(std::string_view name, std::vector<std::size_t>& matching) {
    matching.clear();
    if (!uses_automaton()) {
        for (std::size_t s = 0; s < searches_.size(); ++s) {
            if (searches_[s]->matches(name)) {
                matching.push_back(s);
            }
        }
        return;
    }
    start_name();
    std::uint32_t row = 0;
    for (const char c : name) {
        const std::uint32_t next = table_[row + byte_class_[static_cast<unsigned char>(c)]];
        row = next & ~output_flag;
        if ((next & output_flag) == 0) {
            continue;
        }
        // Every term that ends here lies on the output chain. When a term on it was marked
        // already, so was the rest of the chain, which is the same from there on.
        const auto state = static_cast<state_id>(row / classes_);
        for (state_id found = term_at_[state] != no_term ? state : output_link_[state];
             found != 0 && !seen(term_at_[found]); found = output_link_[found]) {
            mark(term_at_[found]);
        }
    }
    // The searches that one of the terms found can make match; each evaluated in full.
    for (const term_id term : seen_terms_) {
        for (const std::uint32_t s : triggers_[term]) {
            if (candidate_stamp_[s] != stamp_) {
                candidate_stamp_[s] = stamp_;
                matching.push_back(s);
            }
        }
    }
    std::sort(matching.begin(), matching.end());
    matching.erase(std::remove_if(matching.begin(), matching.end(),
                                  [this](std::size_t s) { return !evaluate(search_terms_[s]); }),
                   matching.end());
}

}  // namespace tarvel
