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

c_search_accounting::c_search_accounting(search_list& searches, std::size_t expected_entries)
    : searches_(positions(searches)),
      index_(read_only(searches_)),
      expected_entries_(expected_entries) {
    for (const search_def* search : searches_) {
        texts_.push_back(search->describe());
    }
}

void c_search_accounting::add_ambiguity(std::string_view name, std::size_t search,
                                        std::size_t earlier_search, std::uint32_t size) {
    ++ambiguity_count_;
    ambiguous_bytes_ += size;
    if (sink_ != nullptr) {
        sink_->take(name, texts_[search], texts_[earlier_search]);
        return;
    }
    if (ambiguities_.empty()) {
        // Room for two ambiguities per entry at once: a list that grows by doubling copies
        // itself into fresh memory again and again, and room that is never used is never
        // touched.
        ambiguities_.reserve(2 * expected_entries_);
    }
    ambiguities_.push_back({name, search, earlier_search});
}

std::size_t c_search_accounting::account(const c_map_entry& entry, std::uint32_t hash) {
    if (searches_.empty()) {
        return no_search;
    }
    index_.find(entry.name, matching_);
    if (matching_.empty()) {
        return no_search;
    }
    if (credited_.size() == 0) {
        // The first credit: the table is made for every entry there will be.
        credited_.reserve(expected_entries_);
    }
    // A key is always credited to the first search that matches its name, and every entry with
    // that key has the same name, so the earlier search of each ambiguity is that first one.
    const std::size_t first = matching_.front();
    std::size_t credited = no_search;
    std::size_t next = 0;
    if (credited_.add(entry, hash)) {
        searches_[first]->add(entry.size);
        credited = first;
        next = 1;
    }
    for (; next < matching_.size(); ++next) {
        add_ambiguity(entry.name, matching_[next], first, entry.size);
    }
    return credited;
}

}  // namespace tarvel
