#include "analysis/usage_diff.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/percent.h"

namespace tarvel {

std::optional<double> figure_change::change_percent() const {
    if (before == 0) {
        return std::nullopt;
    }
    return percent_of(static_cast<double>(change), static_cast<double>(before));
}

const char* entry_status_name(entry_status status) {
    switch (status) {
        case entry_status::added:
            return "added";
        case entry_status::removed:
            return "removed";
        case entry_status::grew:
            return "grew";
        case entry_status::shrank:
            return "shrank";
    }
    return "";
}

namespace {
figure_change change_of(std::string label, std::int64_t before, std::int64_t after) {
    return {std::move(label), before, after, change_between(before, after)};
}

// This build's figures in their order, each with its base figure (0 when the base had none),
// then the figures only the base had.
std::vector<figure_change> compare(const std::vector<snapshot_figure>& base,
                                   const std::vector<snapshot_figure>& current) {
    std::unordered_map<std::string_view, std::int64_t> before;
    for (const snapshot_figure& figure : base) {
        before.try_emplace(figure.label, figure.bytes);
    }
    std::vector<figure_change> changes;
    std::unordered_map<std::string_view, bool> seen;
    for (const snapshot_figure& figure : current) {
        const auto found = before.find(figure.label);
        changes.push_back(
            change_of(figure.label, found == before.end() ? 0 : found->second, figure.bytes));
        seen[figure.label] = true;
    }
    for (const snapshot_figure& figure : base) {
        if (!seen[figure.label]) {
            changes.push_back(change_of(figure.label, figure.bytes, 0));
            seen[figure.label] = true;
        }
    }
    return changes;
}

std::size_t hash_of(const snapshot_entry& entry) {
    const std::size_t area = std::hash<std::string_view>{}(entry.area);
    return std::hash<std::string_view>{}(entry.name) ^
           (area + 0x9e3779b97f4a7c15ull + (area << 6) + (area >> 2));
}

bool same_key(const snapshot_entry& a, const snapshot_entry& b) {
    return a.name == b.name && a.area == b.area;
}

constexpr std::uint32_t no_entry = 0xFFFFFFFFu;

// For each area and name of the base, the first of its entries not matched yet. The base
// entries of equal area and name are chained in their order, so that matching one moves on to
// the next. A flat table: a base report can hold a million entries, and a node per key would
// cost an allocation and a cache miss each.
class c_base_index {
  public:
    explicit c_base_index(const std::vector<snapshot_entry>& entries)
        : entries_(entries), next_same_(entries.size(), no_entry) {
        std::size_t capacity = 16;
        while (capacity < entries.size() * 2) {
            capacity *= 2;
        }
        slots_.assign(capacity, slot{});
        for (std::size_t i = entries.size(); i-- > 0;) {
            slot& found = find(entries[i], hash_of(entries[i]));
            if (found.key != no_entry) {
                next_same_[i] = found.first_unmatched;
            } else {
                found.key = static_cast<std::uint32_t>(i);
            }
            found.first_unmatched = static_cast<std::uint32_t>(i);
        }
    }

    // The base entry that `entry` matches, which counts as matched from now on; no_entry when
    // every base entry of its area and name was matched, or there is none.
    std::uint32_t take(const snapshot_entry& entry) {
        slot& found = find(entry, hash_of(entry));
        const std::uint32_t position = found.key == no_entry ? no_entry : found.first_unmatched;
        if (position != no_entry) {
            found.first_unmatched = next_same_[position];
        }
        return position;
    }

  private:
    struct slot {
        std::uint32_t key = no_entry;  // a base entry with the slot's area and name
        std::uint32_t first_unmatched = no_entry;
        std::size_t hash = 0;
    };

    slot& find(const snapshot_entry& entry, std::size_t hash) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
            slot& candidate = slots_[at];
            if (candidate.key == no_entry) {
                candidate.hash = hash;
                return candidate;
            }
            if (candidate.hash == hash && same_key(entries_[candidate.key], entry)) {
                return candidate;
            }
        }
    }

    const std::vector<snapshot_entry>& entries_;
    std::vector<std::uint32_t> next_same_;
    std::vector<slot> slots_;
};
}  // namespace

usage_diff diff_usage(const usage_snapshot& base, const usage_snapshot& current) {
    usage_diff diff;
    diff.ram = change_of("", base.ram_used, current.ram_used);
    diff.rom = change_of("", base.rom_used, current.rom_used);
    diff.areas = compare(base.areas, current.areas);
    diff.searches = compare(base.searches, current.searches);

    c_base_index index(base.entries);
    std::vector<bool> base_matched(base.entries.size(), false);
    for (const snapshot_entry& entry : current.entries) {
        const std::uint32_t position = index.take(entry);
        if (position == no_entry) {
            diff.entries.push_back({entry.area, entry.name, entry_status::added, 0, entry.size});
            continue;
        }
        base_matched[position] = true;
        const std::int64_t before = base.entries[position].size;
        if (before != entry.size) {
            diff.entries.push_back({entry.area, entry.name,
                                    entry.size > before ? entry_status::grew : entry_status::shrank,
                                    before, entry.size});
        }
    }
    for (std::size_t i = 0; i < base.entries.size(); ++i) {
        if (!base_matched[i]) {
            const snapshot_entry& entry = base.entries[i];
            diff.entries.push_back({entry.area, entry.name, entry_status::removed, entry.size, 0});
        }
    }
    // Largest change first; equal changes keep the order above (this build's order, then the
    // removed entries in the base's order).
    std::stable_sort(diff.entries.begin(), diff.entries.end(),
                     [](const entry_change& a, const entry_change& b) {
                         return std::llabs(a.change()) > std::llabs(b.change());
                     });
    return diff;
}

}  // namespace tarvel
