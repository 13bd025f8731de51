#include "analysis/search_accounting.h"

namespace tarvel {

namespace {
std::vector<search_def*> positions(search_list& searches) {
    std::vector<search_def*> result;
    for (auto& search : searches) {
        result.push_back(&search);
    }
    return result;
}

std::vector<const search_def*> read_only(const std::vector<search_def*>& searches) {
    return {searches.begin(), searches.end()};
}
}  // namespace

c_search_accounting::c_search_accounting(search_list& searches)
    : searches_(positions(searches)), index_(read_only(searches_)) {
    for (const search_def* search : searches_) {
        texts_.push_back(search->describe());
    }
}

std::size_t c_search_accounting::account(const c_map_entry& entry) {
    // The name's slot in the table of credited names is loaded while the searches are tried.
    const std::uint32_t hash = c_credited_names::hash_of(entry.name);
    credited_.prefetch(hash);
    index_.find(entry.name, matching_);
    std::size_t credited = no_search;
    for (const std::size_t i : matching_) {
        const c_credited_names::credit credit = credited_.try_add(entry.name, hash, i);
        if (credit.is_new) {
            searches_[i]->add(entry.size);
            credited = i;
        } else {
            ambiguities_.push_back({credit.name, i, credit.search});
            ambiguous_bytes_ += entry.size;
        }
    }
    return credited;
}

}  // namespace tarvel
