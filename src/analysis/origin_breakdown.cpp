#include "analysis/origin_breakdown.h"

#include <algorithm>
#include <unordered_map>

#include "mapfile/origin_table.h"

namespace tarvel {

namespace {
std::string row_name(const entry_origin* origin, breakdown_kind kind) {
    if (origin == nullptr) {
        return "(none)";
    }
    if (origin->archive.empty()) {
        return origin->object;
    }
    return kind == breakdown_kind::archive ? origin->archive : origin_name(*origin);
}
}  // namespace

std::vector<breakdown_row> breakdown_by(const usage_model& model, breakdown_kind kind) {
    // Rows by origin position first, so that a name is made once per origin, not per entry.
    std::vector<std::size_t> row_of_origin(model.origins.size() + 1, SIZE_MAX);
    std::unordered_map<std::string, std::size_t> row_of_name;
    std::vector<breakdown_row> rows;
    for (const entry_usage& placed : model.entries) {
        const c_map_entry& entry = *placed.entry;
        const entry_origin* origin = model.origin_of(entry);
        const std::size_t slot = origin == nullptr ? model.origins.size() : entry.origin;
        if (row_of_origin[slot] == SIZE_MAX) {
            std::string name = row_name(origin, kind);
            const auto [found, is_new] = row_of_name.try_emplace(name, rows.size());
            if (is_new) {
                rows.push_back({std::move(name), 0, 0});
            }
            row_of_origin[slot] = found->second;
        }
        breakdown_row& row = rows[row_of_origin[slot]];
        if (entry.is_bit == 1) {
            continue;
        }
        // EEPROM and the other areas count in neither column, as in neither total.
        const area_kind kind = model.areas[placed.area].kind;
        if (kind == area_kind::program) {
            row.program += entry.size;
        } else if (kind == area_kind::ram) {
            row.ram += entry.size;
        }
    }
    std::sort(rows.begin(), rows.end(), [](const breakdown_row& a, const breakdown_row& b) {
        if (a.program != b.program) {
            return a.program > b.program;
        }
        if (a.ram != b.ram) {
            return a.ram > b.ram;
        }
        return a.name < b.name;
    });
    return rows;
}

}  // namespace tarvel
