// Map entries in the order they were added, owning their names.
#pragma once

#include <cstddef>
#include <vector>

#include "mapfile/map_entry.h"
#include "mapfile/name_arena.h"

namespace tarvel {

// An entry's name is a view; this vector copies the name of every entry added into its own
// storage, so an entry can be added with a name that lives no longer than the call (a line of
// the map being read). A copy of the vector copies the names too.
class c_entry_vector {
  public:
    using const_iterator = std::vector<c_map_entry>::const_iterator;

    c_entry_vector() = default;
    c_entry_vector(const c_entry_vector& other);
    c_entry_vector& operator=(const c_entry_vector& other);
    c_entry_vector(c_entry_vector&&) noexcept = default;
    c_entry_vector& operator=(c_entry_vector&&) noexcept = default;

    void push_back(c_map_entry entry) {
        entry.name = names_.store(entry.name);
        entries_.push_back(entry);
    }

    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    const c_map_entry& operator[](std::size_t position) const { return entries_[position]; }
    const c_map_entry& front() const { return entries_.front(); }
    const c_map_entry& back() const { return entries_.back(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

  private:
    std::vector<c_map_entry> entries_;
    c_name_arena names_;
};

}  // namespace tarvel
