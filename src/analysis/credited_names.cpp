#include "analysis/credited_names.h"

#include <cstring>
#include <functional>

namespace tarvel {

namespace {
constexpr std::size_t block_size = 64 * 1024;
constexpr std::size_t length_size = sizeof(std::size_t);
}  // namespace

const char* c_credited_names::store(std::string_view name) {
    const std::size_t needed = length_size + name.size();
    if (needed > free_size_) {
        const std::size_t size = needed > block_size ? needed : block_size;
        blocks_.push_back(std::make_unique<char[]>(size));
        free_ = blocks_.back().get();
        free_size_ = size;
    }
    char* stored = free_;
    const std::size_t length = name.size();
    std::memcpy(stored, &length, length_size);
    if (!name.empty()) {
        std::memcpy(stored + length_size, name.data(), name.size());
    }
    free_ += needed;
    free_size_ -= needed;
    return stored;
}

std::string_view c_credited_names::stored_name(const char* stored) {
    std::size_t length = 0;
    std::memcpy(&length, stored, length_size);
    return {stored + length_size, length};
}

void c_credited_names::grow() {
    std::vector<slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 1024 : old.size() * 2, slot{});
    const std::size_t mask = slots_.size() - 1;
    for (const slot& entry : old) {
        if (entry.stored == nullptr) {
            continue;
        }
        // Only the low 32 bits of the hash are kept; they choose the slot in every table
        // smaller than 2^32 slots.
        std::size_t at = entry.hash & mask;
        while (slots_[at].stored != nullptr) {
            at = (at + 1) & mask;
        }
        slots_[at] = entry;
    }
}

std::uint32_t c_credited_names::hash_of(std::string_view name) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
}

void c_credited_names::prefetch(std::uint32_t hash) const {
#if defined(__GNUC__)
    if (!slots_.empty()) {
        __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
    }
#else
    (void)hash;
#endif
}

c_credited_names::credit c_credited_names::try_add(std::string_view name, std::uint32_t hash,
                                                   std::size_t search) {
    if ((used_ + 1) * 4 > slots_.size() * 3) {
        grow();
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    for (; slots_[at].stored != nullptr; at = (at + 1) & mask) {
        if (slots_[at].hash == hash && stored_name(slots_[at].stored) == name) {
            return {slots_[at].search, false, stored_name(slots_[at].stored)};
        }
    }
    slots_[at] = {store(name), hash, static_cast<std::uint32_t>(search)};
    ++used_;
    return {search, true, stored_name(slots_[at].stored)};
}

}  // namespace tarvel
