// The address-ordered list of placed map entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory_resource>
#include <vector>

#include "mapfile/map_entry.h"
#include "mapfile/name_arena.h"

namespace tarvel {

// Keeps entries in ascending address order, an entry placed later standing before earlier
// ones of the same address: the order that inserting each new entry before the first one
// whose address is not below its own gives. Insertion appends; the order is established once,
// by sorting, when the list is next read in order, so a million entries cost no million list
// scans.
//
// A listing map can place millions of entries, so memory counts. The entries are fixed-size
// records in blocks that grow to 2 MiB (from the default memory resource), and their names
// are copied into an arena of the list: a million entries are a few dozen allocations. Sorting
// moves the entries themselves into address order, a block at a time, and their names into a
// new arena in the same order, so that reading the list walks memory in sequence. Each block
// read during the sort is reused at once for the sorted entries, so that the sort never holds
// a second copy of the list and touches no fresh memory.
class c_entry_list {
    class c_block;

  public:
    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = c_map_entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const c_map_entry*;
        using reference = const c_map_entry&;

        const_iterator() = default;
        reference operator*() const { return *at_; }
        pointer operator->() const { return at_; }
        const_iterator& operator++() {
            if (++at_ == block_end_) {
                enter(block_ + 1);
            }
            prefetch_name();
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.at_ == b.at_;
        }

      private:
        friend class c_entry_list;
        const_iterator(const std::vector<c_block>* blocks, std::size_t block) : blocks_(blocks) {
            enter(block);
        }
        void enter(std::size_t block);
        // The entries lie in address order, their names in the order the map listed them:
        // the name of an entry a few steps ahead is requested early, so that its cache miss
        // overlaps the work on the entries before it.
        void prefetch_name() const {
#if defined(__GNUC__)
            constexpr std::ptrdiff_t ahead = 8;
            if (block_end_ - at_ > ahead) {
                __builtin_prefetch(at_[ahead].name.data());
            }
#endif
        }

        const std::vector<c_block>* blocks_ = nullptr;
        std::size_t block_ = 0;
        const c_map_entry* at_ = nullptr;  // null at the end
        const c_map_entry* block_end_ = nullptr;
    };

    c_entry_list() = default;
    c_entry_list(c_entry_list&&) noexcept = default;
    c_entry_list& operator=(c_entry_list&&) noexcept = default;
    c_entry_list(const c_entry_list&) = delete;
    c_entry_list& operator=(const c_entry_list&) = delete;
    ~c_entry_list();

    // Adds a copy of the entry, with a copy of its name that the list owns.
    void insert(c_map_entry entry);

    // Takes the entries of `later`, a list of the same kind (keeping entries or sums only) that
    // has not been read in order, as if each had been inserted here after those already here,
    // in the order they were inserted there; an entry's origin becomes `origins[origin]`. The
    // entries and their names are not copied: `later`'s blocks and names become this list's,
    // and `later` is left empty.
    void take_all_of(c_entry_list&& later, const std::vector<std::uint32_t>& origins);

    // Entries added from now on are not kept but folded into one entry per area and kind
    // (bytes or bits), without a name, their sizes added modulo 2^32 as every sum of sizes is:
    // for a run that needs the sums alone, which then stores nothing per entry. `size` still
    // counts every entry added; only `for_each_unordered` sees the folded entries.
    void keep_sums_only() {
        keep_names_ = false;
        sums_only_ = true;
    }

    // Whether the list keeps the entries added (not only their sums): only then does anything
    // read an entry's name or origin afterwards.
    bool keeps_entries() const {
        return !sums_only_;
    }

    bool empty() const {
        return size_ == 0;
    }
    std::size_t size() const {
        return size_;
    }
    const_iterator begin() const;
    const_iterator end() const {
        return {};
    }
    const c_map_entry& front() const {
        return *begin();
    }

    // Calls `visit` with every entry, in no particular order and without sorting: for sums,
    // which do not depend on the order.
    template <typename Visit>
    void for_each_unordered(Visit visit) const {
        for (const auto* blocks : {&ordered_, &added_}) {
            for (const c_block& block : *blocks) {
                for (const c_map_entry& entry : block) {
                    visit(entry);
                }
            }
        }
        for (const c_map_entry& sum : sums_) {
            if (sum.index != no_area) {
                visit(sum);
            }
        }
    }

  private:
    // Entries, uninitialised storage of `bytes` bytes for as many as fit, filled from the
    // front. Entries are trivially copyable and destructible, so a block copies and frees
    // them as bytes.
    class c_block {
      public:
        c_block(std::pmr::memory_resource* resource, std::size_t bytes);
        // A block in storage that another block owns (a slice of it).
        c_block(c_map_entry* storage, std::size_t bytes);
        ~c_block();
        c_block(c_block&& other) noexcept;
        c_block& operator=(c_block&& other) noexcept;
        c_block(const c_block&) = delete;
        c_block& operator=(const c_block&) = delete;

        bool full() const { return size_ == capacity_; }
        std::size_t size() const { return size_; }
        void push_back(const c_map_entry& entry);
        c_map_entry* data() { return entries_; }
        bool owns_storage() const { return resource_ != nullptr; }
        std::size_t bytes() const { return bytes_; }
        const c_map_entry* begin() const { return entries_; }
        const c_map_entry* end() const { return entries_ + size_; }

        // Frees the storage at once; the block is empty afterwards.
        void release();

      private:
        std::pmr::memory_resource* resource_;  // null for a slice
        std::size_t bytes_;
        c_map_entry* entries_;
        std::size_t capacity_;
        std::size_t size_ = 0;
    };

    // Appends to the last block, or to a new one of `bytes` bytes when that is full.
    void append(std::vector<c_block>& blocks, const c_map_entry& entry, std::size_t bytes) const;
    void establish_order() const;
    void fold(const c_map_entry& entry);

    std::pmr::memory_resource* resource_ = std::pmr::get_default_resource();
    mutable c_name_arena names_;
    bool keep_names_ = true;
    bool sums_only_ = false;
    // With keep_sums_only: at 2 * area + kind, the folded entry, or one of index no_area.
    std::vector<c_map_entry> sums_;
    // The entries in address order, and those inserted since the list was last in order, in
    // the order of insertion. Sorting merges the second into the first.
    mutable std::vector<c_block> ordered_;
    mutable std::vector<c_block> added_;
    // Blocks whose storage the slices in ordered_ lie in.
    mutable std::vector<c_block> storage_;
    std::size_t size_ = 0;
    mutable std::uint32_t last_address_ = 0;  // of the last entry of ordered_ while added_ is empty
};

}  // namespace tarvel
