#include "analysis/usage_snapshot.h"

#include "text/fixed_text.h"

namespace tarvel {

usage_snapshot snapshot_of(const usage_model& model) {
    usage_snapshot snapshot;
    snapshot.ram_used = std::stoll(fixed_text(model.ram.used(), 0));
    snapshot.rom_used = std::stoll(fixed_text(model.rom.used(), 0));
    for (const area_usage& area : model.areas) {
        snapshot.areas.push_back({area.name, area.used_rounded()});
    }
    for (const search_usage& search : model.searches) {
        snapshot.searches.push_back({search.text, search.bytes});
    }
    snapshot.entries.reserve(model.entries.size());
    for (const entry_usage& placed : model.entries) {
        // Entries compare by their listed size, the "size" that a base report holds.
        snapshot.entries.push_back({model.areas[placed.area].name, std::string(placed.entry->name),
                                    static_cast<std::int64_t>(placed.entry->listed_size())});
    }
    return snapshot;
}

}  // namespace tarvel
