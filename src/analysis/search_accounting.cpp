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

std::string_view c_search_accounting::credit_key(const c_map_entry& entry) {
    if (entry.origin == no_origin) {
        return entry.name;
    }
    // Maps that name object files list the same section name for many objects (".text" of
    // every object file): such an entry is told apart by its object. The key is the name, a
    // NUL, which no name holds, and the origin's position.
    key_.assign(entry.name);
    key_ += '\0';
    key_.append(reinterpret_cast<const char*>(&entry.origin), sizeof entry.origin);
    return key_;
}

std::size_t c_search_accounting::account(const c_map_entry& entry) {
    const std::string_view key = credit_key(entry);
    // The name's slot in the table of credited names is loaded while the searches are tried.
    const std::uint32_t hash = c_credited_names::hash_of(key);
    credited_.prefetch(hash);
    index_.find(entry.name, matching_);
    std::size_t credited = no_search;
    for (const std::size_t i : matching_) {
        const c_credited_names::credit credit = credited_.try_add(key, hash, i);
        if (credit.is_new) {
            searches_[i]->add(entry.size);
            credited = i;
        } else {
            const std::string_view name = credit.name.substr(0, credit.name.find('\0'));
            ambiguities_.push_back({name, i, credit.search});
            ambiguous_bytes_ += entry.size;
        }
    }
    return credited;
}

}  // namespace tarvel
