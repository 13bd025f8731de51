#include "mapfile/origin_table.h"

#include <algorithm>
#include <cstring>

namespace tarvel {

entry_origin split_origin(std::string_view file) {
    if (file.size() >= 3 && file.back() == ')') {
        const std::size_t open = file.rfind('(');
        if (open != std::string_view::npos && open > 0 && open + 2 < file.size()) {
            return {std::string(file.substr(open + 1, file.size() - open - 2)),
                    std::string(file.substr(0, open))};
        }
    }
    return {std::string(file), std::string()};
}

std::string origin_name(const entry_origin& origin) {
    std::string name;
    assign_origin_name(name, origin.archive, origin.object);
    return name;
}

void assign_origin_name(std::string& name, std::string_view archive, std::string_view member) {
    if (archive.empty()) {
        name.assign(member);
        return;
    }
    name.assign(archive).append("(").append(member).append(")");
}

namespace {
// A hash of a file name, eight characters at a time and inline: it is taken for every input
// section of a map, the names are a few dozen characters, and the table compares the names of
// equal hashes anyway. The last step mixes the high bits into the low ones the table uses.
std::size_t spelling_hash(std::string_view spelling) {
    std::uint64_t hash = 0x9e3779b97f4a7c15 ^ spelling.size();
    std::size_t at = 0;
    for (; spelling.size() - at >= 8; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, spelling.data() + at, 8);
        hash = (hash ^ word) * 0xff51afd7ed558ccd;
        hash ^= hash >> 29;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, spelling.data() + at, spelling.size() - at);
    hash = (hash ^ tail) * 0xc4ceb9fe1a85ec53;
    return static_cast<std::size_t>(hash ^ (hash >> 32));
}
}  // namespace

std::uint32_t c_origin_table::index_of(std::string_view file) {
    if (file.empty()) {
        return no_origin;
    }
    const std::size_t hash = spelling_hash(file);
    if (!by_spelling_.empty()) {
        const std::size_t mask = by_spelling_.size() - 1;
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const spelling_slot& known = by_spelling_[slot];
            if (known.spelling.empty()) {
                break;
            }
            if (known.hash == hash && known.spelling == file) {
                return known.index;
            }
        }
    }
    const std::uint32_t index = index_of(split_origin(file));
    add_spelling(spellings_.store(file), hash, index);
    return index;
}

std::uint32_t c_origin_table::index_of(const entry_origin& origin) {
    auto key = std::make_pair(origin.object, origin.archive);
    const auto found = known_.find(key);
    if (found != known_.end()) {
        return found->second;
    }
    const auto index = static_cast<std::uint32_t>(origins_.size());
    origins_.push_back(origin);
    known_.emplace(std::move(key), index);
    return index;
}

void c_origin_table::add_spelling(std::string_view spelling, std::size_t hash,
                                  std::uint32_t index) {
    if ((spelling_count_ + 1) * 2 > by_spelling_.size()) {
        std::vector<spelling_slot> old = std::move(by_spelling_);
        by_spelling_.assign(std::max<std::size_t>(64, old.size() * 2), spelling_slot{});
        spelling_count_ = 0;
        for (const spelling_slot& known : old) {
            if (!known.spelling.empty()) {
                add_spelling(known.spelling, known.hash, known.index);
            }
        }
    }
    const std::size_t mask = by_spelling_.size() - 1;
    std::size_t slot = hash & mask;
    while (!by_spelling_[slot].spelling.empty()) {
        slot = (slot + 1) & mask;
    }
    by_spelling_[slot] = {spelling, hash, index};
    ++spelling_count_;
}

}  // namespace tarvel
