#include "mapfile/entry_list.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <type_traits>
#include <utility>

namespace tarvel {

static_assert(std::is_trivially_copyable_v<c_map_entry> &&
                  std::is_trivially_destructible_v<c_map_entry>,
              "blocks copy and free entries as bytes");

namespace {
using entry_allocator = std::allocator<c_map_entry>;

// Blocks of inserted entries grow from 16 KiB (a small map) to 2 MiB, the size of a large page.
// The chains of the sort's buckets keep to the small size: a bucket's last block is partly
// empty, and there are as many as buckets.
constexpr std::size_t small_block = 16 * 1024;
constexpr std::size_t large_block = 2 * 1024 * 1024;

// Radix digits of 8 bits: 256 buckets keep a bucket's last block and its counters in the
// cache while entries are spread over them.
constexpr unsigned digit_bits = 8;
constexpr std::size_t buckets = std::size_t{1} << digit_bits;

// Sorts `count` entries of `from` stably by the low `bits` bits of (address - base), using
// `spare` (as large) as the second buffer of a least-significant-digit radix sort. Returns the
// buffer that holds the result. A pass whose digit is the same in every entry is skipped, and
// entries already in order are left as they are.
c_map_entry* radix_sort(c_map_entry* from, c_map_entry* spare, std::size_t count,
                        std::uint32_t base, unsigned bits) {
    const auto in_order = [&] {
        for (std::size_t i = 1; i < count; ++i) {
            if (from[i].address < from[i - 1].address) {
                return false;
            }
        }
        return true;
    };
    if (count < 2 || in_order()) {
        return from;
    }
    std::array<std::size_t, buckets> start{};
    for (unsigned shift = 0; shift < bits; shift += digit_bits) {
        const auto digit = [base, shift](const c_map_entry& entry) {
            return ((entry.address - base) >> shift) & (buckets - 1);
        };
        start.fill(0);
        for (std::size_t i = 0; i < count; ++i) {
            ++start[digit(from[i])];
        }
        if (start[digit(from[0])] == count) {
            continue;
        }
        std::size_t sum = 0;
        for (auto& bucket_start : start) {
            sum += std::exchange(bucket_start, sum);
        }
        for (std::size_t i = 0; i < count; ++i) {
            spare[start[digit(from[i])]++] = from[i];
        }
        std::swap(from, spare);
    }
    return from;
}

// Room for `count` entries, released when it goes out of scope; a vector would initialise it.
class c_entry_buffer {
  public:
    explicit c_entry_buffer(std::size_t count)
        : entries_(count == 0 ? nullptr : entry_allocator().allocate(count)), count_(count) {}
    ~c_entry_buffer() {
        if (entries_ != nullptr) {
            entry_allocator().deallocate(entries_, count_);
        }
    }
    c_entry_buffer(const c_entry_buffer&) = delete;
    c_entry_buffer& operator=(const c_entry_buffer&) = delete;
    c_map_entry* data() const { return entries_; }

  private:
    c_map_entry* entries_;
    std::size_t count_;
};
}  // namespace

c_entry_list::c_block::c_block(std::pmr::memory_resource* resource, std::size_t bytes)
    : resource_(resource),
      bytes_(bytes),
      entries_(static_cast<c_map_entry*>(resource->allocate(bytes, alignof(c_map_entry)))),
      capacity_(bytes / sizeof(c_map_entry)) {}

c_entry_list::c_block::c_block(c_map_entry* storage, std::size_t bytes)
    : resource_(nullptr),
      bytes_(bytes),
      entries_(storage),
      capacity_(bytes / sizeof(c_map_entry)) {}

c_entry_list::c_block::~c_block() {
    release();
}

void c_entry_list::c_block::release() {
    if (entries_ != nullptr) {
        if (resource_ != nullptr) {
            resource_->deallocate(entries_, bytes_, alignof(c_map_entry));
        }
        entries_ = nullptr;
        capacity_ = 0;
        size_ = 0;
    }
}

c_entry_list::c_block::c_block(c_block&& other) noexcept
    : resource_(other.resource_),
      bytes_(other.bytes_),
      entries_(std::exchange(other.entries_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

c_entry_list::c_block& c_entry_list::c_block::operator=(c_block&& other) noexcept {
    if (this != &other) {
        release();
        resource_ = other.resource_;
        bytes_ = other.bytes_;
        entries_ = std::exchange(other.entries_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void c_entry_list::c_block::push_back(const c_map_entry& entry) {
    std::memcpy(static_cast<void*>(entries_ + size_), &entry, sizeof entry);
    ++size_;
}

c_entry_list::~c_entry_list() = default;

void c_entry_list::const_iterator::enter(std::size_t block) {
    block_ = block;
    if (block_ >= blocks_->size()) {
        at_ = nullptr;
        block_end_ = nullptr;
        return;
    }
    // Blocks in the address order are never empty.
    at_ = (*blocks_)[block_].begin();
    block_end_ = (*blocks_)[block_].end();
}

void c_entry_list::append(std::vector<c_block>& blocks, const c_map_entry& entry,
                          std::size_t bytes) const {
    if (blocks.empty() || blocks.back().full()) {
        blocks.emplace_back(resource_, bytes);
    }
    blocks.back().push_back(entry);
}

void c_entry_list::fold(const c_map_entry& entry) {
    const std::size_t slot = std::size_t{entry.index} * 2 + (entry.is_bit == 1 ? 1 : 0);
    if (slot >= sums_.size()) {
        sums_.resize(slot + 1);
    }
    c_map_entry& sum = sums_[slot];
    if (sum.index == no_area) {
        sum.index = entry.index;
        sum.is_bit = entry.is_bit == 1 ? 1 : 0;
        sum.address = entry.address;
    }
    sum.size += entry.size;  // modulo 2^32
    ++size_;
}

void c_entry_list::insert(c_map_entry entry) {
    if (sums_only_) {
        fold(entry);
        return;
    }
    entry.name = keep_names_ ? names_.store(entry.name) : std::string_view();
    // Entries usually come in ascending address order; such an entry belongs at the end.
    const bool in_order = added_.empty() && (size_ == 0 || last_address_ < entry.address);
    std::vector<c_block>& blocks = in_order ? ordered_ : added_;
    // Each new block as large as the entries so far, up to large_block.
    const std::size_t grown = size_ * sizeof(c_map_entry);
    append(blocks, entry,
           grown < small_block   ? small_block
           : grown > large_block ? large_block
                                 : grown);
    if (in_order) {
        last_address_ = entry.address;
    }
    ++size_;
}

void c_entry_list::take_all_of(c_entry_list&& later, const std::vector<std::uint32_t>& origins) {
    if (sums_only_) {
        for (const c_map_entry& sum : later.sums_) {
            if (sum.index != no_area) {
                fold(sum);
                --size_;  // fold counts an entry; the sums stand for all of later's, below
            }
        }
        size_ += std::exchange(later.size_, 0);
        later.sums_.clear();
        return;
    }
    // Inserted one by one, those of later's entries that came in address order would have
    // stood in ordered_ only where added_ was empty and each lay beyond every entry before it;
    // in added_ they sort into the same places, so every block goes to added_, in the order of
    // insertion: later's ordered entries first, then the ones it added.
    for (auto* blocks : {&later.ordered_, &later.added_}) {
        for (c_block& block : *blocks) {
            for (c_map_entry* entry = block.data(); entry != block.data() + block.size(); ++entry) {
                if (entry->origin != no_origin) {
                    entry->origin = origins[entry->origin];
                }
            }
            added_.push_back(std::move(block));
        }
        blocks->clear();
    }
    names_.adopt(std::move(later.names_));
    size_ += std::exchange(later.size_, 0);
}

// Among entries of equal address, those added since the list was last in order come first,
// the latest first, and the ordered ones follow in their order. So the entries are taken in
// that sequence (the added ones backwards, then the ordered ones) and sorted stably by
// address: first spread into buckets by the high bits of the address, each bucket a chain of
// blocks, then each bucket sorted on the low bits through two buffers as large as the largest
// bucket. Each block is released as soon as it has been spread, and the chains reuse that
// memory, so the list never exists twice.
void c_entry_list::establish_order() const {
    if (added_.empty()) {
        return;
    }
    std::uint32_t low = 0xFFFFFFFFu;
    std::uint32_t high = 0;
    for_each_unordered([&](const c_map_entry& entry) {
        low = std::min(low, entry.address);
        high = std::max(high, entry.address);
    });
    const auto bits = static_cast<unsigned>(std::bit_width(high - low));
    const unsigned shift = bits > digit_bits ? bits - digit_bits : 0;

    // The chains are slices of the blocks already spread (fresh blocks only until the first is
    // done). Slices of an earlier sort lie in storage_, which is kept until the end.
    std::vector<c_block> spent;
    std::size_t next_spent = 0;
    char* room = nullptr;
    std::size_t room_bytes = 0;
    const std::vector<c_block> earlier_storage = std::move(storage_);
    storage_.clear();
    std::array<std::vector<c_block>, buckets> chains;
    const auto spread = [&](const c_map_entry& entry) {
        std::vector<c_block>& chain = chains[((entry.address - low) >> shift) & (buckets - 1)];
        if (chain.empty() || chain.back().full()) {
            if (room_bytes < small_block && next_spent < spent.size()) {
                room = reinterpret_cast<char*>(spent[next_spent].data());
                room_bytes = spent[next_spent].bytes();
                ++next_spent;
            }
            if (room_bytes >= small_block) {
                chain.emplace_back(reinterpret_cast<c_map_entry*>(room), small_block);
                room += small_block;
                room_bytes -= small_block;
            } else {
                chain.emplace_back(resource_, small_block);
            }
        }
        chain.back().push_back(entry);
    };
    const auto done = [&spent](c_block& block) {
        if (block.owns_storage()) {
            spent.push_back(std::move(block));
        }
    };
    while (!added_.empty()) {
        c_block& block = added_.back();
        for (const c_map_entry* at = block.end(); at != block.begin();) {
            spread(*--at);
        }
        done(block);
        added_.pop_back();
    }
    for (c_block& block : ordered_) {
        for (const c_map_entry& entry : block) {
            spread(entry);
        }
        done(block);
    }
    ordered_.clear();
    // Blocks that no slice came from are freed now.
    spent.erase(spent.begin() + static_cast<std::ptrdiff_t>(next_spent), spent.end());
    storage_ = std::move(spent);

    std::size_t largest = 0;
    for (const auto& chain : chains) {
        std::size_t count = 0;
        for (const c_block& block : chain) {
            count += block.size();
        }
        largest = std::max(largest, count);
    }
    const c_entry_buffer first(largest);
    const c_entry_buffer second(largest);
    // The names move too, into a new arena in address order: reading the list in order then
    // reads the names in sequence as well, instead of in the order of the map.
    c_name_arena names;
    for (auto& chain : chains) {
        std::size_t count = 0;
        for (const c_block& block : chain) {
            std::memcpy(static_cast<void*>(first.data() + count), block.begin(),
                        block.size() * sizeof(c_map_entry));
            count += block.size();
        }
        c_map_entry* sorted = radix_sort(first.data(), second.data(), count, low, shift);
        constexpr std::size_t ahead = 16;
        for (std::size_t i = 0; i < count; ++i) {
#if defined(__GNUC__)
            if (i + ahead < count) {
                __builtin_prefetch(sorted[i + ahead].name.data());
            }
#endif
            sorted[i].name = names.store(sorted[i].name);
        }
        for (c_block& block : chain) {
            std::memcpy(static_cast<void*>(block.data()), sorted,
                        block.size() * sizeof(c_map_entry));
            sorted += block.size();
            ordered_.push_back(std::move(block));
        }
        chain.clear();
    }
    names_ = std::move(names);
    last_address_ = high;
}

c_entry_list::const_iterator c_entry_list::begin() const {
    establish_order();
    return {&ordered_, 0};
}

}  // namespace tarvel
