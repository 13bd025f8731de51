#include "analysis/usage_diff.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <unordered_map>

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
    return {std::move(label), before, after, after - before};
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

std::string entry_key(const snapshot_entry& entry) {
    std::string key = entry.area;
    key += '\0';
    key += entry.name;
    return key;
}
}  // namespace

usage_diff diff_usage(const usage_snapshot& base, const usage_snapshot& current) {
    usage_diff diff;
    diff.ram = change_of("", base.ram_used, current.ram_used);
    diff.rom = change_of("", base.rom_used, current.rom_used);
    diff.areas = compare(base.areas, current.areas);
    diff.searches = compare(base.searches, current.searches);

    // For each area and name, the base's entries in their order, and how many of them the
    // current build's entries of that area and name have matched so far.
    struct base_entries {
        std::vector<std::size_t> positions;
        std::size_t matched = 0;
    };
    std::unordered_map<std::string, base_entries> by_key;
    by_key.reserve(base.entries.size());
    for (std::size_t i = 0; i < base.entries.size(); ++i) {
        by_key[entry_key(base.entries[i])].positions.push_back(i);
    }
    std::vector<bool> base_matched(base.entries.size(), false);
    for (const snapshot_entry& entry : current.entries) {
        const auto found = by_key.find(entry_key(entry));
        if (found == by_key.end() || found->second.matched == found->second.positions.size()) {
            diff.entries.push_back({entry.area, entry.name, entry_status::added, 0, entry.size});
            continue;
        }
        const std::size_t position = found->second.positions[found->second.matched++];
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
