#include "report/html_report.h"

#include "html_page_assets.h"
#include "report/html_summary.h"
#include "report/html_template.h"
#include "report/html_text.h"
#include "report/json_writer.h"

namespace tarvel {

namespace {
// The page's own settings, beside the report: what the report cannot know.
void write_page_settings(std::ostream& out, const html_report_options& options) {
    c_json_writer json(out);
    json.begin_object();
    json.key("run_date").value(options.run_date);
    json.key("version").value(options.version);
    json.key("grouping").value(treemap_grouping_name(options.grouping));
    json.end_object();
}
}  // namespace

const char* treemap_grouping_name(treemap_grouping grouping) {
    switch (grouping) {
        case treemap_grouping::search:
            return "search";
        case treemap_grouping::object:
            return "object";
        case treemap_grouping::archive:
            return "archive";
    }
    return "search";
}

std::optional<treemap_grouping> parse_treemap_grouping(std::string_view text) {
    if (text == "search" || text == "section") {
        return treemap_grouping::search;
    }
    if (text == "object") {
        return treemap_grouping::object;
    }
    if (text == "archive") {
        return treemap_grouping::archive;
    }
    return std::nullopt;
}

void render_html_report(std::ostream& out, const usage_model& model,
                        const html_report_options& options) {
    fill_html_template(out, html_assets::page_template, [&](std::string_view name) {
        if (name == "title") {
            out << "Tarvel memory report: " << html_escaped(model.input.map);
        } else if (name == "errors") {
            out << html_assets::page_errors;
        } else if (name == "style") {
            out << html_assets::page_style;
        } else if (name == "script") {
            out << html_assets::page_script;
        } else if (name == "summary") {
            render_html_summary(out, model, {options.run_date, options.version});
        } else if (name == "settings") {
            write_page_settings(out, options);
        } else if (name == "report") {
            write_script_json(out, options.report_json);
        }
    });
}

}  // namespace tarvel
