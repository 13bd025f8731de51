#include "report/html_report.h"

#include <sstream>

#include "html_page_assets.h"
#include "report/html_summary.h"
#include "report/html_template.h"
#include "report/html_text.h"
#include "report/json_report.h"
#include "report/json_writer.h"

namespace tarvel {

namespace {
// The treemaps' grouping as the page's script names it: the searches' breakdown is "search".
const char* page_grouping_name(group_by grouping) {
    return grouping == group_by::section ? "search" : group_by_name(grouping);
}

// The page's own settings, beside the report: what the report cannot know.
void write_page_settings(std::ostream& out, const report_context& context) {
    c_json_writer json(out);
    json.begin_object();
    json.key("run_date").value(context.run_date);
    json.key("version").value(context.version);
    json.key("grouping").value(page_grouping_name(context.grouping));
    json.end_object();
}
}  // namespace

void render_html_report(std::ostream& out, const report_context& context) {
    const usage_model& model = *context.model;
    std::string made_json;
    if (context.report_json.empty()) {
        std::ostringstream json;
        render_json_report(json, context);
        made_json = std::move(json).str();
    }
    const std::string_view report_json =
        context.report_json.empty() ? std::string_view(made_json) : context.report_json;
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
            render_html_summary(out, model,
                                {std::string(context.run_date), std::string(context.version)});
        } else if (name == "settings") {
            write_page_settings(out, context);
        } else if (name == "report") {
            write_script_json(out, report_json);
        }
    });
}

}  // namespace tarvel
