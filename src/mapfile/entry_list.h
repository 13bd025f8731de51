// The address-ordered list of placed map entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "mapfile/map_entry.h"

namespace tarvel {

// Keeps entries in ascending address order, an entry placed later standing before earlier
// ones of the same address: the order that inserting each new entry before the first one
// whose address is not below its own gives. Insertion appends; the order is established once,
// by sorting, when the list is next read, so a million entries cost no million list scans.
//
// A listing map can place millions of entries, so memory counts: the entries are stored in
// blocks in the order of insertion and never move (a growing vector would hold two copies of
// itself while it moves to a larger array), and the address order is a list of positions,
// four bytes an entry, read through the iterator.
class c_entry_list {
  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = c_map_entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const c_map_entry*;
        using reference = const c_map_entry&;

        const_iterator() = default;
        reference operator*() const { return list_->at(position_); }
        pointer operator->() const { return &list_->at(position_); }
        const_iterator& operator++() {
            ++position_;
            list_->prefetch(position_);
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.position_ == b.position_;
        }

      private:
        friend class c_entry_list;
        const_iterator(const c_entry_list* list, std::size_t position)
            : list_(list), position_(position) {}

        const c_entry_list* list_ = nullptr;
        std::size_t position_ = 0;
    };

    void insert(c_map_entry entry);

    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    const_iterator begin() const;
    const_iterator end() const;
    const c_map_entry& front() const { return *begin(); }

  private:
    static constexpr unsigned block_shift = 10;
    static constexpr std::size_t block_entries = std::size_t{1} << block_shift;

    c_map_entry& stored(std::size_t index) const {
        return blocks_[index >> block_shift][index & (block_entries - 1)];
    }
    // The entry at `position` in address order.
    const c_map_entry& at(std::size_t position) const {
        return stored(order_.empty() ? position : order_[position]);
    }
    // Walking the address order jumps around the blocks: the entries a few steps ahead are
    // requested early, so that their cache misses overlap.
    void prefetch(std::size_t position) const;
    void establish_order() const;

    std::vector<std::unique_ptr<c_map_entry[]>> blocks_;
    std::size_t size_ = 0;
    // Positions of the entries in address order; empty while that is the order of insertion.
    mutable std::vector<std::uint32_t> order_;
    mutable std::size_t ordered_count_ = 0;  // the first ordered_count_ entries are in order
};

}  // namespace tarvel
