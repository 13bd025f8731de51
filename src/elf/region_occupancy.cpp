#include "elf/region_occupancy.h"

#include <algorithm>
#include <limits>
#include <span>

namespace tarvel::elf {
namespace {

struct interval {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;  // one past the last byte
};

// [start, start + size), cut at the top of the address space.
interval make_interval(std::uint64_t start, std::uint64_t size) {
    const std::uint64_t room = std::numeric_limits<std::uint64_t>::max() - start;
    return {start, start + std::min(size, room)};
}

// The address ranges the sections occupy: each allocated section at its run address and, where
// its contents are stored elsewhere, at its load address.
std::vector<interval> occupied_intervals(std::span<const section_header> sections) {
    std::vector<interval> intervals;
    for (const section_header& section : sections) {
        if (!section.allocated() || section.size == 0 || section.type == sht_null) {
            continue;
        }
        if (!section.has_contents() && section.thread_local_storage()) {
            continue;  // .tbss
        }
        intervals.push_back(make_interval(section.address, section.size));
        if (section.has_contents() && section.load_address != section.address) {
            intervals.push_back(make_interval(section.load_address, section.size));
        }
    }
    std::sort(intervals.begin(), intervals.end(),
              [](const interval& a, const interval& b) { return a.begin < b.begin; });
    return intervals;
}

bool begins_in_any(const interval& part, std::span<const interval> ranges) {
    return std::any_of(ranges.begin(), ranges.end(), [&part](const interval& range) {
        return part.begin >= range.begin && part.begin < range.end;
    });
}

// The bytes of the sorted intervals that begin inside `range`, each byte once. ld places the
// sections of a region one after the other: once they run past the region's end, those that
// follow begin past it (in no region, give or take an alignment gap after the last one), and
// they belong to the region all the same.
std::uint64_t occupied_from(const std::vector<interval>& intervals, const interval& range,
                            std::span<const interval> all_ranges) {
    constexpr std::uint64_t alignment_gap = 0x1000;
    std::uint64_t bytes = 0;
    std::uint64_t covered_to = 0;  // the end of what was counted so far
    for (const interval& part : intervals) {
        if (part.begin < range.begin) {
            continue;
        }
        if (part.begin >= range.end) {
            const bool overrun = covered_to > range.end;
            if (!overrun || part.begin > covered_to + alignment_gap ||
                begins_in_any(part, all_ranges)) {
                break;
            }
        }
        const std::uint64_t begin = std::max(part.begin, covered_to);
        if (part.end > begin) {
            bytes += part.end - begin;
            covered_to = part.end;
        }
    }
    return bytes;
}

}  // namespace

std::vector<std::uint64_t> occupied_bytes(std::span<const section_header> sections,
                                          std::span<const address_range> ranges) {
    const std::vector<interval> occupied = occupied_intervals(sections);
    std::vector<interval> all_ranges;
    for (const address_range& range : ranges) {
        all_ranges.push_back(make_interval(range.origin, range.length));
    }
    std::vector<std::uint64_t> used;
    used.reserve(ranges.size());
    for (const interval& range : all_ranges) {
        used.push_back(occupied_from(occupied, range, all_ranges));
    }
    return used;
}

}  // namespace tarvel::elf
