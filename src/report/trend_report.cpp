#include "report/trend_report.h"

#include "report/csv_report.h"
#include "report/json_writer.h"

namespace tarvel {

void render_trend_csv(std::ostream& out, const trend_data& data) {
    out << "commit,parent,time,area,kind,used,size\n";
    for (std::size_t build = 0; build < data.builds.size(); ++build) {
        const trend_build& info = data.builds[build];
        for (const trend_area& area : data.areas) {
            out << csv_field(info.commit) << ',' << csv_field(info.parent) << ','
                << csv_field(info.time) << ',' << csv_field(area.name) << ','
                << csv_field(area.kind) << ',';
            if (area.used[build]) {
                out << *area.used[build];
            }
            out << ',';
            if (area.size[build]) {
                out << *area.size[build];
            }
            out << "\n";
        }
    }
}

void render_trend_json(std::ostream& out, const trend_data& data) {
    c_json_writer json(out);
    json.begin_object();
    json.key("target").value(data.target);
    json.key("branch");
    data.branch.empty() ? json.null() : json.value(data.branch);
    json.key("builds").begin_array();
    for (const trend_build& build : data.builds) {
        json.begin_object().key("commit").value(build.commit).key("parent");
        build.parent.empty() ? json.null() : json.value(build.parent);
        json.key("time").value(build.time).end_object();
    }
    json.end_array();
    json.key("areas").begin_array();
    for (const trend_area& area : data.areas) {
        json.begin_object().key("name").value(area.name).key("kind").value(area.kind);
        for (const auto& [name, figures] :
             {std::pair{"used", &area.used}, std::pair{"size", &area.size}}) {
            json.key(name).begin_array();
            for (const std::optional<std::uint64_t>& figure : *figures) {
                figure ? json.value(*figure) : json.null();
            }
            json.end_array();
        }
        json.end_object();
    }
    json.end_array().end_object();
    out << '\n';
}

}  // namespace tarvel
