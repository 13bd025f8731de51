// The address-ordered list of placed map entries.
#pragma once

#include <cstddef>
#include <vector>

#include "mapfile/map_entry.h"

namespace tarvel {

// Keeps entries in ascending address order, an entry placed later standing before earlier
// ones of the same address: the order that inserting each new entry before the first one
// whose address is not below its own gives. Insertion appends; the order is established once,
// with a stable sort, when the list is next read, so a million entries cost no million list
// scans.
class c_entry_list {
public:
    using const_iterator = std::vector<c_map_entry>::const_iterator;

    void insert(c_map_entry entry);

    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    const_iterator begin() const;
    const_iterator end() const;
    const c_map_entry& front() const { return *begin(); }

private:
    void establish_order() const;

    mutable std::vector<c_map_entry> entries_;
    mutable std::size_t ordered_count_ = 0;  // entries_[0, ordered_count_) are in order
};

}  // namespace tarvel
