#include "mapfile/gnu_address_coverage.h"

#include <algorithm>
#include <iterator>

namespace tarvel::gnu {

std::uint64_t c_address_coverage::claim(std::uint64_t from, std::uint64_t to) {
    if (to <= from) {
        return 0;
    }
    std::uint64_t already = 0;
    std::uint64_t start = from;
    std::uint64_t end = to;
    // The first range that may touch [from, to): the last one starting at or before `from`.
    auto it = held_.upper_bound(from);
    if (it != held_.begin()) {
        --it;
        if (it->second < from) {
            ++it;
        }
    }
    // Sections and pieces mostly follow one another: a range that continues the one held
    // before it grows that one in place.
    if (it != held_.end() && it->first <= from && it->second <= to &&
        (std::next(it) == held_.end() || std::next(it)->first > to)) {
        const std::uint64_t overlap = it->second > from ? it->second - from : 0;
        it->second = to;
        return (to - from) - overlap;
    }
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
    held_.emplace(start, end);
    return (to - from) - already;
}

}  // namespace tarvel::gnu
