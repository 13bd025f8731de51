#include "mapfile/entry_list.h"

#include <algorithm>

namespace tarvel {

void c_entry_list::insert(c_map_entry entry) {
    // Entries usually come in ascending address order; such an entry belongs at the end.
    if (ordered_ && !entries_.empty() && entries_.back().address >= entry.address) {
        ordered_ = false;
    }
    entries_.push_back(std::move(entry));
}

void c_entry_list::establish_order() const {
    if (ordered_) {
        return;
    }
    // Reversing first makes the stable sort put later entries before earlier ones of the same
    // address.
    std::reverse(entries_.begin(), entries_.end());
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const c_map_entry& a, const c_map_entry& b) { return a.address < b.address; });
    ordered_ = true;
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
