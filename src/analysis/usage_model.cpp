#include "analysis/usage_model.h"

#include <algorithm>

#include "analysis/percent.h"

namespace tarvel {

const char* area_kind_name(area_kind kind) {
    switch (kind) {
        case area_kind::program:
            return "program";
        case area_kind::ram:
            return "ram";
        case area_kind::eeprom:
            return "eeprom";
        case area_kind::other:
            return "other";
    }
    return "";
}

double area_usage::used_percent() const {
    return percent_of(used_rounded(), size);
}

double memory_total::used_percent() const {
    const std::uint32_t rounded = used_bytes + (used_bits + 4u) / 8u;
    return percent_of(rounded, total);
}

std::vector<const area_usage*> usage_model::over_full_areas() const {
    std::vector<const area_usage*> over_full;
    if (without_regions()) {
        return over_full;
    }
    // Only the areas of maps whose sections may run past an area's end: elsewhere a sum above
    // the size comes from entries that overlap (symbols of a listing), not from a failed link.
    for (const area_usage& area : areas) {
        if (area.shows_overflow && area.over() > 0) {
            over_full.push_back(&area);
        }
    }
    return over_full;
}

const std::vector<ambiguity>& usage_model::ambiguities() const {
    static const std::vector<ambiguity> none;
    return accounting ? accounting->ambiguities() : none;
}

std::vector<std::uint32_t> largest_entries(const usage_model& model, const area_usage& area,
                                           std::size_t count) {
    std::vector<std::uint32_t> positions = area.entries;
    // Sizes in bits, so that a bit variable is compared by what it takes: 200 bits are less
    // than 100 bytes.
    const auto bits_of = [&model](std::uint32_t position) {
        const c_map_entry& entry = *model.entries[position].entry;
        return std::uint64_t{entry.size} * (entry.is_bit == 1 ? 1u : 8u);
    };
    const auto larger = [&bits_of](std::uint32_t a, std::uint32_t b) {
        const std::uint64_t size_a = bits_of(a);
        const std::uint64_t size_b = bits_of(b);
        return size_a != size_b ? size_a > size_b : a < b;
    };
    count = std::min(count, positions.size());
    std::partial_sort(positions.begin(), positions.begin() + static_cast<std::ptrdiff_t>(count),
                      positions.end(), larger);
    positions.resize(count);
    return positions;
}

}  // namespace tarvel
