// The set of keys (names, for some maps with their object file) that searches were credited
// with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <vector>

#include "mapfile/map_entry.h"

namespace tarvel {

// A flat open-addressing table of the entries whose keys were credited: the key is the
// entry's name and origin, so the table keeps no copy of a name, only the entry that first
// carried it, which must stay where it is while the table is used. The hashes lie in an array
// of their own, probed linearly; an entry is read only when its hash matches. A listing map
// credits a million names: twelve bytes a slot, at most three quarters of the slots used.
class c_credited_names {
  public:
    // The hash of an entry's key, which `prefetch` and `add` take: computed once per entry.
    static std::uint32_t hash_of(const c_map_entry& entry);

    // Makes room for `count` keys at once, instead of growing step by step.
    void reserve(std::size_t count);

    // Asks the processor to load the slot where a key of this hash is looked up first: in a
    // table of a million keys that is a cache miss, which can then overlap other work.
    void prefetch(std::uint32_t hash) const;

    // Records the key of `entry`, whose hash_of is `hash`, unless an entry with that key was
    // recorded before; true when it is new.
    bool add(const c_map_entry& entry, std::uint32_t hash);

    std::size_t size() const { return used_; }

  private:
    // Slot of a hash: the hash scaled to the table's size, which need not be a power of two.
    std::size_t home(std::uint32_t hash) const {
        return static_cast<std::size_t>((std::uint64_t{hash} * hashes_.size()) >> 32);
    }
    void rebuild(std::size_t slots);

    // 0 marks a free slot; a key whose hash is 0 is stored as 1. From the default memory
    // resource: for a large map these are large blocks.
    std::pmr::vector<std::uint32_t> hashes_;
    std::pmr::vector<const c_map_entry*> entries_;
    std::size_t used_ = 0;
};

}  // namespace tarvel
