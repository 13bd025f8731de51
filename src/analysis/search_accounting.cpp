#include "analysis/search_accounting.h"

namespace tarvel {

c_search_accounting::c_search_accounting(search_list& searches) {
    for (auto& search : searches) {
        searches_.push_back(&search);
        texts_.push_back(search.describe());
    }
}

void c_search_accounting::account(const c_map_entry& entry) {
    for (std::size_t i = 0; i < searches_.size(); ++i) {
        if (!searches_[i]->matches(entry.name)) {
            continue;
        }
        const auto [credited, is_new] = credited_.try_emplace(entry.name, i);
        if (is_new) {
            searches_[i]->add(entry.size);
        } else {
            ambiguities_.push_back({entry.name, i, credited->second});
            ambiguous_bytes_ += entry.size;
        }
    }
}

}  // namespace tarvel
