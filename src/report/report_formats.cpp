#include "report/report_formats.h"

#include <array>

#include "report/csv_report.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "report/markdown_report.h"
#include "report/text_report.h"

namespace tarvel {

namespace {
constexpr std::array<report_format_row, 5> rows{{
    {report_format::text, "text", "", "", render_text_report},
    {report_format::json, "json", "--json", "Also write the JSON report to FILE",
     render_json_report},
    {report_format::csv, "csv", "--csv", "Also write the CSV of every entry to FILE",
     render_csv_report},
    {report_format::markdown, "markdown", "--markdown", "Also write the Markdown summary to FILE",
     render_markdown_report},
    {report_format::html, "html", "--html", "Also write the HTML page to FILE", render_html_report},
}};
}  // namespace

std::span<const report_format_row> report_formats() {
    return rows;
}

const report_format_row& report_format_of(report_format format) {
    for (const report_format_row& row : rows) {
        if (row.format == format) {
            return row;
        }
    }
    return rows.front();
}

const report_format_row* find_report_format(std::string_view name) {
    for (const report_format_row& row : rows) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

std::string_view report_format_name(report_format format) {
    return report_format_of(format).name;
}

}  // namespace tarvel
