#include "mapfile/entry_list.h"

#include <algorithm>
#include <iterator>

namespace tarvel {

void c_entry_list::insert(c_map_entry entry) {
    // Entries usually come in ascending address order; such an entry belongs at the end.
    const bool in_order = ordered_count_ == entries_.size() &&
                          (entries_.empty() || entries_.back().address < entry.address);
    entries_.push_back(std::move(entry));
    if (in_order) {
        ordered_count_ = entries_.size();
    }
}

void c_entry_list::establish_order() const {
    if (ordered_count_ == entries_.size()) {
        return;
    }
    const auto by_address = [](const c_map_entry& a, const c_map_entry& b) {
        return a.address < b.address;
    };
    const auto added = entries_.begin() + static_cast<std::ptrdiff_t>(ordered_count_);
    // Reversing the added entries first makes the stable sort put later entries before
    // earlier ones of the same address.
    std::reverse(added, entries_.end());
    std::stable_sort(added, entries_.end(), by_address);
    if (ordered_count_ > 0) {
        // Merging the added entries in front of the ordered ones keeps them first among equals.
        std::vector<c_map_entry> merged;
        merged.reserve(entries_.size());
        std::merge(std::make_move_iterator(added), std::make_move_iterator(entries_.end()),
                   std::make_move_iterator(entries_.begin()), std::make_move_iterator(added),
                   std::back_inserter(merged), by_address);
        entries_ = std::move(merged);
    }
    ordered_count_ = entries_.size();
}

c_entry_list::const_iterator c_entry_list::begin() const {
    establish_order();
    return entries_.begin();
}

c_entry_list::const_iterator c_entry_list::end() const {
    establish_order();
    return entries_.end();
}

}  // namespace tarvel
