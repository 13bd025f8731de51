#include "app/report_outputs.h"

#include <sstream>
#include <vector>

#include "app/output_file.h"
#include "app/report_run.h"
#include "report/ambiguity_report.h"
#include "report/report_formats.h"

namespace tarvel {

namespace {
constexpr const char* program = "tarvel-report: ";
}  // namespace

void c_report_renderer::render(std::ostream& out, report_format format) {
    if (format == report_format::html) {
        context_.report_json = json();
    }
    if (format == report_format::json && json_reused_) {
        out << json();
        return;
    }
    report_format_of(format).render(out, context_);
}

const std::string& c_report_renderer::json() {
    if (json_.empty()) {
        std::ostringstream json;
        report_format_of(report_format::json).render(json, context_);
        json_ = std::move(json).str();
    }
    return json_;
}

bool json_reused(const report_options& options) {
    std::size_t json_outputs = options.format == report_format::json ? 1 : 0;
    bool page = options.format == report_format::html;
    for (const report_output& file : options.files) {
        json_outputs += file.format == report_format::json ? 1 : 0;
        page = page || file.format == report_format::html;
    }
    return page || !options.record.db.empty() || json_outputs > 1;
}

int write_report_files(const report_options& options, const usage_model& model,
                       c_report_renderer& renderer, std::ostream& err) {
    std::vector<output_content> files;
    std::vector<const report_output*> formats;  // null for the ambiguity file
    if (!options.ambiguities.empty()) {
        files.push_back(
            {options.ambiguities, [&model](std::ostream& out) { render_ambiguities(out, model); }});
        formats.push_back(nullptr);
    }
    for (const report_output& file : options.files) {
        files.push_back({file.path, [&renderer, format = file.format](std::ostream& out) {
                             renderer.render(out, format);
                         }});
        formats.push_back(&file);
    }
    if (const std::optional<output_failure> failure = write_output_set(files)) {
        err << program << "cannot write ";
        if (const report_output* format = formats[failure->file]) {
            err << "the " << report_format_name(format->format) << " report ";
        }
        err << "'" << files[failure->file].path << "': " << failure->reason << "\n";
        return report_input_error;
    }
    if (!options.ambiguities.empty()) {
        renderer.set_ambiguity_file(&options.ambiguities);
    }
    return report_success;
}

int write_standard_output(const report_options& options, c_report_renderer& renderer,
                          std::ostream& out, std::ostream& err) {
    renderer.render(out, options.format);
    out.flush();
    // A build server that keeps standard output as its report must not take a cut one (a full
    // disk, a closed pipe) for a whole one.
    if (!out) {
        err << program << "cannot write the report to standard output\n";
        return report_input_error;
    }
    return report_success;
}

}  // namespace tarvel
