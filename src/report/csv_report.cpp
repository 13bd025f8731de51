#include "report/csv_report.h"

#include <array>
#include <cstdio>
#include <vector>

namespace tarvel {

std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') {
            field += '"';
        }
        field += c;
    }
    field += '"';
    return field;
}

void render_csv_report(std::ostream& out, const report_context& context) {
    const usage_model& model = *context.model;
    std::vector<std::string> areas;
    for (const area_usage& area : model.areas) {
        areas.push_back(csv_field(area.name));
    }
    std::vector<std::string> searches;
    for (const search_usage& search : model.searches) {
        searches.push_back(csv_field(search.text));
    }
    std::string line = "area,name,address,size,counted,unit,search,object,archive\n";
    for (const entry_usage& placed : model.entries) {
        const c_map_entry& entry = *placed.entry;
        std::array<char, 16> address{};
        std::snprintf(address.data(), address.size(), "0x%08X",
                      static_cast<unsigned>(entry.address));
        line += areas[placed.area];
        line += ',';
        line += csv_field(entry.name);
        line += ',';
        line += address.data();
        line += ',';
        line += std::to_string(entry.listed_size());
        line += ',';
        line += std::to_string(entry.size);
        line += entry.is_bit == 1 ? ",bit," : ",byte,";
        if (placed.search != no_search) {
            line += searches[placed.search];
        }
        line += ',';
        if (const entry_origin* origin = model.origin_of(entry)) {
            line += csv_field(origin->object);
            line += ',';
            line += csv_field(origin->archive);
        } else {
            line += ',';
        }
        line += '\n';
        if (line.size() >= 64 * 1024) {
            out << line;
            line.clear();
        }
    }
    out << line;
}

}  // namespace tarvel
