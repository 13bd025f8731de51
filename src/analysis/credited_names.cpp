#include "analysis/credited_names.h"

#include <cstring>

namespace tarvel {

namespace {
constexpr std::size_t smallest_table = 1024;

std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9u;
    h ^= h >> 32;
    return h;
}
}  // namespace

std::uint32_t c_credited_names::hash_of(const c_map_entry& entry) {
    // Eight characters at a time, each word folded in by a multiplication: names are short,
    // and a general-purpose string hash spends more on them than the lookup itself.
    const std::string_view name = entry.name;
    std::uint64_t h = 0x9E3779B97F4A7C15u ^ (name.size() * 0xC2B2AE3D27D4EB4Fu);
    std::size_t at = 0;
    for (; at + 8 <= name.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + at, 8);
        h = (h ^ word) * 0x9E3779B97F4A7C15u;
        h ^= h >> 31;
    }
    if (at < name.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + at, name.size() - at);
        h = (h ^ word) * 0x9E3779B97F4A7C15u;
        h ^= h >> 31;
    }
    h = mix(h ^ (std::uint64_t{entry.origin} * 0xD6E8FEB86659FD93u));
    const auto hash = static_cast<std::uint32_t>(h);
    return hash == 0 ? 1 : hash;
}

void c_credited_names::reserve(std::size_t count) {
    const std::size_t slots = count + count / 3 + 1;
    if (slots > hashes_.size()) {
        rebuild(slots < smallest_table ? smallest_table : slots);
    }
}

void c_credited_names::rebuild(std::size_t slots) {
    std::pmr::vector<std::uint32_t> old_hashes(slots, 0);
    std::pmr::vector<const c_map_entry*> old_entries(slots, nullptr);
    old_hashes.swap(hashes_);
    old_entries.swap(entries_);
    for (std::size_t i = 0; i < old_hashes.size(); ++i) {
        if (old_hashes[i] == 0) {
            continue;
        }
        std::size_t at = home(old_hashes[i]);
        while (hashes_[at] != 0) {
            at = at + 1 == hashes_.size() ? 0 : at + 1;
        }
        hashes_[at] = old_hashes[i];
        entries_[at] = old_entries[i];
    }
}

void c_credited_names::prefetch(std::uint32_t hash) const {
#if defined(__GNUC__)
    if (!hashes_.empty()) {
        const std::size_t at = home(hash);
        __builtin_prefetch(&hashes_[at]);
        __builtin_prefetch(&entries_[at], 1);  // written when the key is new
    }
#else
    (void)hash;
#endif
}

bool c_credited_names::add(const c_map_entry& entry, std::uint32_t hash) {
    if ((used_ + 1) * 4 > hashes_.size() * 3) {
        rebuild(hashes_.size() < smallest_table ? smallest_table : hashes_.size() * 2);
    }
    std::size_t at = home(hash);
    for (; hashes_[at] != 0; at = at + 1 == hashes_.size() ? 0 : at + 1) {
        if (hashes_[at] == hash && entries_[at]->origin == entry.origin &&
            entries_[at]->name == entry.name) {
            return false;
        }
    }
    hashes_[at] = hash;
    entries_[at] = &entry;
    ++used_;
    return true;
}

}  // namespace tarvel
