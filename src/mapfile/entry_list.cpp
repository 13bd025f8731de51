#include "mapfile/entry_list.h"

#include <array>
#include <utility>

namespace tarvel {

namespace {
// Sorts 64-bit keys, least significant 11 bits first: a handful of linear passes instead of
// the twenty comparison rounds a million keys take, and a pass whose digit is the same in
// every key (the high bits of small addresses) is skipped.
void radix_sort(std::vector<std::uint64_t>& keys) {
    constexpr int digit_bits = 11;
    constexpr std::size_t buckets = std::size_t{1} << digit_bits;
    std::vector<std::uint64_t> spare(keys.size());
    std::array<std::size_t, buckets> start{};
    for (int shift = 0; shift < 64; shift += digit_bits) {
        start.fill(0);
        for (const std::uint64_t key : keys) {
            ++start[(key >> shift) & (buckets - 1)];
        }
        if (start[(keys.front() >> shift) & (buckets - 1)] == keys.size()) {
            continue;
        }
        std::size_t sum = 0;
        for (auto& count : start) {
            sum += std::exchange(count, sum);
        }
        for (const std::uint64_t key : keys) {
            spare[start[(key >> shift) & (buckets - 1)]++] = key;
        }
        keys.swap(spare);
    }
}
}  // namespace

void c_entry_list::insert(c_map_entry entry) {
    // Entries usually come in ascending address order; such an entry belongs at the end.
    const bool in_order =
        ordered_count_ == size_ && (size_ == 0 || at(size_ - 1).address < entry.address);
    if ((size_ & (block_entries - 1)) == 0) {
        blocks_.push_back(std::make_unique<c_map_entry[]>(block_entries));
    }
    stored(size_) = std::move(entry);
    ++size_;
    if (in_order) {
        if (!order_.empty()) {
            order_.push_back(static_cast<std::uint32_t>(size_ - 1));
        }
        ordered_count_ = size_;
    }
}

void c_entry_list::prefetch(std::size_t position) const {
#if defined(__GNUC__)
    // The entry itself far ahead; its name, which the entry points to, nearer, when the entry
    // has arrived.
    constexpr std::size_t entry_ahead = 16;
    constexpr std::size_t name_ahead = 8;
    if (!order_.empty() && position + entry_ahead < order_.size()) {
        __builtin_prefetch(&stored(order_[position + entry_ahead]));
        __builtin_prefetch(stored(order_[position + name_ahead]).name.data());
    }
#else
    (void)position;
#endif
}

void c_entry_list::establish_order() const {
    if (ordered_count_ == size_) {
        return;
    }
    // One sort key per entry: the address, then a rank that orders entries of equal address.
    // The entries added since the list was last in order come first among equals, the latest
    // first; the ordered ones follow in their order. The rank tells the entry's place, so
    // sorting the keys gives the new order without touching the entries again.
    // A list never holds 2^32 entries: that would take hundreds of gigabytes.
    const std::size_t count = size_;
    const std::size_t added = count - ordered_count_;
    std::vector<std::uint64_t> keys(count);
    for (std::size_t i = 0; i < count; ++i) {
        // Positions before ordered_count_ are places in the current order; later ones are
        // the added entries, stored at the end in insertion order.
        const std::size_t rank = i >= ordered_count_ ? count - 1 - i : added + i;
        keys[i] = (std::uint64_t{(i >= ordered_count_ ? stored(i) : at(i)).address} << 32) | rank;
    }
    radix_sort(keys);
    for (auto& key : keys) {
        const auto rank = static_cast<std::size_t>(key & 0xFFFFFFFFu);
        if (rank < added) {
            key = count - 1 - rank;
        } else {
            const std::size_t place = rank - added;
            key = order_.empty() ? place : order_[place];
        }
    }
    order_.assign(keys.begin(), keys.end());
    ordered_count_ = count;
}

c_entry_list::const_iterator c_entry_list::begin() const {
    establish_order();
    prefetch(0);
    return {this, 0};
}

c_entry_list::const_iterator c_entry_list::end() const {
    establish_order();
    return {this, size_};
}

}  // namespace tarvel
