#include "report/trend_html.h"

#include <sstream>

#include "html_trend_assets.h"
#include "report/html_template.h"
#include "report/html_text.h"
#include "report/json_writer.h"

namespace tarvel {

namespace {
// One figure per build, null where the build has none.
void write_figures(c_json_writer& json, const std::vector<std::optional<std::uint64_t>>& figures,
                   std::size_t builds) {
    json.begin_array();
    for (std::size_t i = 0; i < builds; ++i) {
        if (i < figures.size() && figures[i].has_value()) {
            json.value(*figures[i]);
        } else {
            json.null();
        }
    }
    json.end_array();
}

// The trend as the page's script reads it:
// {"format":"tarvel-trend","version":1,"target":..,"branch":..,
//  "builds":[{"commit":..,"parent":..|null,"time":..}],
//  "areas":[{"name":..,"kind":..,"used":[n|null..],"size":[n|null..]}]}
std::string trend_json(const trend_data& data) {
    std::ostringstream out;
    c_json_writer json(out);
    json.begin_object();
    json.key("format").value("tarvel-trend");
    json.key("version").value(1);
    json.key("target").value(data.target);
    json.key("branch").value(data.branch);
    json.key("builds").begin_array();
    for (const trend_build& build : data.builds) {
        json.begin_object();
        json.key("commit").value(build.commit);
        json.key("parent");
        if (build.parent.empty()) {
            json.null();
        } else {
            json.value(build.parent);
        }
        json.key("time").value(build.time);
        json.end_object();
    }
    json.end_array();
    json.key("areas").begin_array();
    for (const trend_area& area : data.areas) {
        json.begin_object();
        json.key("name").value(area.name);
        json.key("kind").value(area.kind);
        json.key("used");
        write_figures(json, area.used, data.builds.size());
        json.key("size");
        write_figures(json, area.size, data.builds.size());
        json.end_object();
    }
    json.end_array();
    json.end_object();
    return out.str();
}

std::string figure_text(const std::vector<std::optional<std::uint64_t>>& figures,
                        std::size_t build) {
    if (build < figures.size() && figures[build].has_value()) {
        return std::to_string(*figures[build]);
    }
    return "-";
}

// The latest build's figures, for viewers that run no scripts; the script hides it.
void write_summary(std::ostream& out, const trend_data& data) {
    out << "<section id=\"tarvel-summary\" class=\"summary\">\n<h1>Tarvel memory trend</h1>\n<dl>\n"
        << "<dt>Target</dt><dd>" << html_escaped(data.target) << "</dd>\n"
        << "<dt>Branch</dt><dd>" << html_escaped(data.branch) << "</dd>\n"
        << "<dt>Builds</dt><dd>" << data.builds.size() << "</dd>\n";
    if (data.builds.empty()) {
        out << "</dl>\n</section>\n";
        return;
    }
    const std::size_t last = data.builds.size() - 1;
    out << "<dt>Latest build</dt><dd>" << html_escaped(data.builds[last].commit) << " ("
        << html_escaped(data.builds[last].time) << ")</dd>\n</dl>\n"
        << "<table>\n<thead><tr><th scope=\"col\">Area</th><th scope=\"col\">Kind</th>"
           "<th scope=\"col\">Used bytes</th><th scope=\"col\">Size bytes</th></tr></thead>\n"
           "<tbody>\n";
    for (const trend_area& area : data.areas) {
        out << "<tr><th scope=\"row\">" << html_escaped(area.name) << "</th><td>"
            << html_escaped(area.kind) << "</td><td>" << figure_text(area.used, last) << "</td><td>"
            << figure_text(area.size, last) << "</td></tr>\n";
    }
    out << "</tbody>\n</table>\n</section>\n";
}
}  // namespace

std::string render_trend_html(const trend_data& data) {
    std::ostringstream out;
    fill_html_template(out, html_trend_assets::page_template, [&](std::string_view name) {
        if (name == "title") {
            out << "Tarvel memory trend: " << html_escaped(data.target);
            if (!data.branch.empty()) {
                out << " on " << html_escaped(data.branch);
            }
        } else if (name == "errors") {
            out << html_trend_assets::page_errors;
        } else if (name == "style") {
            out << html_trend_assets::page_style;
        } else if (name == "script") {
            out << html_trend_assets::page_script;
        } else if (name == "summary") {
            write_summary(out, data);
        } else if (name == "trend") {
            write_script_json(out, trend_json(data));
        }
    });
    return out.str();
}

}  // namespace tarvel
