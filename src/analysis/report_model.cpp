#include "analysis/report_model.h"

#include <map>

#include <nlohmann/json.hpp>

#include "analysis/base_report.h"

namespace tarvel {

namespace {
using json = nlohmann::json;

const json& member(const json& object, const char* key) {
    static const json none;
    if (!object.is_object()) {
        return none;
    }
    const auto found = object.find(key);
    return found == object.end() ? none : *found;
}

std::string text(const json& object, const char* key) {
    const json& value = member(object, key);
    return value.is_string() ? value.get<std::string>() : "";
}

// Figures of a report of this program are integers of at most 32 bits where the model holds
// them in 32: a stored report held them in the same.
std::uint32_t figure32(const json& object, const char* key) {
    const json& value = member(object, key);
    return value.is_number_integer() ? static_cast<std::uint32_t>(value.get<std::int64_t>()) : 0;
}

std::uint64_t figure64(const json& object, const char* key) {
    const json& value = member(object, key);
    return value.is_number_unsigned() ? value.get<std::uint64_t>() : 0;
}

std::optional<area_kind> kind_of(const std::string& name) {
    if (name == "program") {
        return area_kind::program;
    }
    if (name == "ram") {
        return area_kind::ram;
    }
    if (name == "eeprom") {
        return area_kind::eeprom;
    }
    return std::nullopt;
}

eep_block eep_of(const json& block) {
    const json& percent = member(block, "used_percent");
    return {figure32(block, "total"), figure32(block, "used"), figure32(block, "free"),
            percent.is_number() ? percent.get<double>() : 0.0};
}

class c_model_builder {
  public:
    explicit c_model_builder(report_model& result) : result_(result), model_(result.model) {}

    bool build(const json& report, std::string& error) {
        read_input(member(report, "input"));
        read_reader(member(report, "reader"));
        if (!read_areas(member(report, "areas"), error)) {
            return false;
        }
        read_totals(report);
        read_searches(report);
        read_origins(report);
        if (!read_entries(member(report, "entries"), error)) {
            return false;
        }
        for (const json& entry : member(report, "unplaced")) {
            model_.unplaced.push_back(entry_of(entry));
        }
        if (member(report, "eeprom").is_object()) {
            const json& eeprom = member(report, "eeprom");
            model_.eeprom =
                eep_usage{eep_of(member(eeprom, "total")), eep_of(member(eeprom, "once")),
                          eep_of(member(eeprom, "triple"))};
        }
        return true;
    }

  private:
    void read_input(const json& input) {
        model_.input.type = text(input, "type");
        model_.input.detected =
            member(input, "detected").is_boolean() && member(input, "detected").get<bool>();
        model_.input.definition = text(input, "definition");
        model_.input.map = text(input, "map");
        model_.input.eep = text(input, "eep");
    }

    void read_reader(const json& reader) {
        model_.reader.lines_read = figure64(reader, "lines_read");
        model_.reader.recognised = figure64(reader, "entries_recognised");
        model_.reader.placed = figure64(reader, "entries_placed");
        model_.reader.unplaced = figure64(reader, "entries_unplaced");
        for (const json& dropped : member(reader, "dropped")) {
            model_.reader.dropped.push_back({text(dropped, "rule"), figure64(dropped, "count")});
        }
    }

    bool read_areas(const json& areas, std::string& error) {
        for (const json& area : areas) {
            const std::optional<area_kind> kind = kind_of(text(area, "kind"));
            if (!kind) {
                error =
                    "names an area kind \"" + text(area, "kind") + "\" this program does not know";
                return false;
            }
            area_usage usage;
            usage.name = text(area, "name");
            usage.kind = *kind;
            usage.start = figure32(area, "start");
            usage.size = figure32(area, "size");
            usage.bits = figure32(area, "bits");
            // The report holds the used bytes with the bits rounded in.
            usage.used = figure32(area, "used") - (usage.bits + 4u) / 8u;
            area_at_.emplace(usage.name, model_.areas.size());
            model_.areas.push_back(std::move(usage));
            mem_area extent{model_.areas.back().start, model_.areas.back().size, no_area};
            (*kind == area_kind::program ? model_.definition.program
             : *kind == area_kind::ram   ? model_.definition.memory
                                         : model_.definition.eeprom)
                .push_back(extent);
        }
        return true;
    }

    void read_totals(const json& report) {
        model_.rom.total = figure32(member(report, "rom"), "total");
        model_.rom.used_bytes = figure32(member(report, "rom"), "used");
        model_.ram.total = figure32(member(report, "ram"), "total");
        model_.ram.used_bits = figure32(member(report, "ram"), "bits");
        for (const area_usage& area : model_.areas) {
            if (area.kind == area_kind::ram) {
                model_.ram.used_bytes += area.used;
            }
        }
    }

    void read_searches(const json& report) {
        for (const json& search : member(report, "searches")) {
            search_at_.emplace(text(search, "search"), model_.searches.size());
            model_.searches.push_back({text(search, "search"), figure32(search, "bytes")});
        }
        model_.accounted = figure32(member(report, "accounted"), "bytes");
        std::vector<ambiguity> records;
        const json& ambiguous = member(report, "ambiguous");
        for (const json& record : member(ambiguous, "records")) {
            result_.names.push_back(text(record, "name"));
            records.push_back({result_.names.back(), search_of(text(record, "search")),
                               search_of(text(record, "earlier_search"))});
        }
        model_.accounting = std::make_unique<c_search_accounting>(model_.search_definitions);
        model_.accounting->restore(std::move(records), figure32(ambiguous, "bytes"));
    }

    // The object files in the order the entries name them first.
    void read_origins(const json& report) {
        for (const char* list : {"entries", "unplaced"}) {
            for (const json& entry : member(report, list)) {
                const json& object = member(entry, "object");
                if (!object.is_string()) {
                    continue;
                }
                entry_origin origin{object.get<std::string>(), text(entry, "archive")};
                const auto key = std::make_pair(origin.object, origin.archive);
                if (origin_at_.emplace(key, model_.origins.size()).second) {
                    model_.origins.push_back(std::move(origin));
                }
            }
        }
    }

    std::size_t search_of(const std::string& search) const {
        const auto found = search_at_.find(search);
        return found == search_at_.end() ? 0 : found->second;
    }

    c_map_entry entry_of(const json& entry) const {
        c_map_entry result;
        result.address = figure32(entry, "address");
        result.size = figure32(entry, "size");
        const json& name = member(entry, "name");
        result.name = name.is_string() ? name.get_ref<const std::string&>() : std::string_view();
        result.is_bit =
            member(entry, "bit").is_boolean() && member(entry, "bit").get<bool>() ? 1 : 0;
        const json& object = member(entry, "object");
        if (object.is_string()) {
            result.origin = static_cast<std::uint32_t>(
                origin_at_.at(std::make_pair(object.get<std::string>(), text(entry, "archive"))));
        }
        return result;
    }

    bool read_entries(const json& entries, std::string& error) {
        std::vector<std::uint32_t> areas;
        std::vector<std::uint32_t> searches;
        for (const json& entry : entries) {
            const auto area = area_at_.find(text(entry, "area"));
            if (area == area_at_.end()) {
                error = "places an entry in the area \"" + text(entry, "area") +
                        "\", which it does not list";
                return false;
            }
            c_map_entry placed = entry_of(entry);
            placed.index = static_cast<std::uint32_t>(area->second);
            result_.placed.push_back(placed);
            areas.push_back(static_cast<std::uint32_t>(area->second));
            const json& search = member(entry, "search");
            const auto found =
                search.is_string() ? search_at_.find(search.get<std::string>()) : search_at_.end();
            searches.push_back(
                found == search_at_.end() ? no_search : static_cast<std::uint32_t>(found->second));
        }
        // The entries are all in place now: their addresses stay.
        for (std::size_t i = 0; i < result_.placed.size(); ++i) {
            model_.entries.push_back({&result_.placed[i], areas[i], searches[i]});
            model_.areas[areas[i]].entries.push_back(static_cast<std::uint32_t>(i));
        }
        return true;
    }

    report_model& result_;
    usage_model& model_;
    std::map<std::string, std::size_t> area_at_;
    std::map<std::string, std::size_t> search_at_;
    std::map<std::pair<std::string, std::string>, std::size_t> origin_at_;
};
}  // namespace

c_result<std::unique_ptr<report_model>> model_from_report(const std::string& text) {
    // The reader of every base checks the format, the version and the figures first.
    if (c_result<usage_snapshot> checked = read_base_report(text); !checked) {
        return checked.error();
    }
    const json report = json::parse(text, nullptr, false);
    if (!report.is_object()) {
        return input_error{{}, 0, "is not valid JSON"};
    }
    auto result = std::make_unique<report_model>();
    c_model_builder builder(*result);
    std::string error;
    if (!builder.build(report, error)) {
        return input_error{{}, 0, std::move(error)};
    }
    return result;
}

}  // namespace tarvel
