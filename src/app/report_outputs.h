// tarvel-report's outputs: every format asked for, drawn from one context, written as one set
// of files and then to standard output.
#pragma once

#include <ostream>
#include <string>

#include "analysis/usage_model.h"
#include "app/report_options.h"
#include "report/report_context.h"

namespace tarvel {

// Every format of the run through its row of the table. The JSON report is made once however
// many outputs need it (the page embeds it, the history keeps it, a file holds it); a run that
// needs it only for a JSON output writes that straight to the output instead of holding it.
class c_report_renderer {
  public:
    c_report_renderer(const report_context& context, bool json_reused)
        : context_(context), json_reused_(json_reused) {}

    // Writes `format` to `out`.
    void render(std::ostream& out, report_format format);

    // The JSON report, made on the first call.
    const std::string& json();

    // The text report names the ambiguity file once it is written.
    void set_ambiguity_file(const std::string* path) { context_.ambiguity_file = path; }

  private:
    report_context context_;
    bool json_reused_;
    std::string json_;
};

// Whether the JSON report is wanted more than once: by the page, by the history, or by a JSON
// file beside JSON on standard output.
bool json_reused(const report_options& options);

// Every file asked for, written as one set: the ambiguity records, then each report format. The
// exit code of the run when one cannot be written (the message on `err`), else report_success.
int write_report_files(const report_options& options, const usage_model& model,
                       c_report_renderer& renderer, std::ostream& err);

// The report on standard output; written after every file, so that it names only files that
// exist. The exit code of the run when it cannot be written, else report_success.
int write_standard_output(const report_options& options, c_report_renderer& renderer,
                          std::ostream& out, std::ostream& err);

}  // namespace tarvel
