#include "mapfile/gnu_address_coverage.h"

#include <algorithm>
#include <iterator>

namespace tarvel::gnu {

bool c_address_coverage::may_grow(ranges::iterator range, std::uint64_t from,
                                  std::uint64_t to) const {
    if (range == held_.end() || range->first > from || range->second < from || range->second > to) {
        return false;
    }
    const auto after = std::next(range);
    return after == held_.end() || after->first > to;
}

std::uint64_t c_address_coverage::grow(ranges::iterator range, std::uint64_t from,
                                       std::uint64_t to) {
    const std::uint64_t overlap = range->second - from;
    range->second = to;
    last_ = range;
    return (to - from) - overlap;
}

bool c_address_coverage::shares_bytes_with(const c_address_coverage& other, std::uint64_t from,
                                           std::uint64_t to) const {
    for (const auto& [start, end] : other.held_) {
        if (start < to && from < end) {
            return true;
        }
        // The last range here that starts before `end` is the only one that may reach `start`.
        auto it = held_.lower_bound(end);
        if (it != held_.begin() && std::prev(it)->second > start) {
            return true;
        }
    }
    return false;
}

std::uint64_t c_address_coverage::claim(std::uint64_t from, std::uint64_t to) {
    if (to <= from) {
        return 0;
    }
    // Sections and pieces mostly follow one another: a range that continues the one held
    // before it grows that one in place, mostly the one the last claim grew.
    if (may_grow(last_, from, to)) {
        return grow(last_, from, to);
    }
    // The first range that may touch [from, to): the last one starting at or before `from`.
    auto it = held_.upper_bound(from);
    if (it != held_.begin()) {
        --it;
        if (it->second < from) {
            ++it;
        }
    }
    if (may_grow(it, from, to)) {
        return grow(it, from, to);
    }
    std::uint64_t already = 0;
    std::uint64_t start = from;
    std::uint64_t end = to;
    while (it != held_.end() && it->first <= to) {
        const std::uint64_t overlap_from = std::max(it->first, from);
        const std::uint64_t overlap_to = std::min(it->second, to);
        if (overlap_to > overlap_from) {
            already += overlap_to - overlap_from;
        }
        start = std::min(start, it->first);
        end = std::max(end, it->second);
        it = held_.erase(it);
    }
    last_ = held_.emplace(start, end).first;
    return (to - from) - already;
}

}  // namespace tarvel::gnu
