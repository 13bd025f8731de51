// Writes the HTML report of a map, as tarvel-report --html does, for bench/html_open.sh:
//   tarvel_html_page TYPE DEFINITION MAP PAGE.html
// The page embeds the JSON report of the run, made once, and is drawn from it in the browser.
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

#include "analysis/usage_analysis.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "version_info.h"

namespace {
// The date of the run as the page shows it, "2026-12-08 10:00".
std::string run_date() {
    const std::time_t now = std::time(nullptr);
    char text[32] = "";
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&now));
    return text;
}
}  // namespace

int main(int argc, char** argv) {
    using namespace tarvel;
    if (argc != 5) {
        std::cerr << "usage: tarvel_html_page TYPE DEFINITION MAP PAGE.html\n";
        return 2;
    }
    usage_model model;
    const analysis_status status = analyze_usage({argv[1], argv[2], argv[3], false}, model);
    if (status != analysis_status::ok) {
        std::cerr << "tarvel_html_page: the analysis of " << argv[3] << " failed\n";
        return 1;
    }
    report_context context;
    context.model = &model;
    context.version = TARVEL_PRODUCT_VERSION;
    std::ostringstream json;
    render_json_report(json, context);
    const std::string report = json.str();
    const std::string date = run_date();
    context.report_json = report;
    context.run_date = date;
    std::ofstream page(argv[4], std::ios::binary | std::ios::trunc);
    render_html_report(page, context);
    page.close();
    if (!page) {
        std::cerr << "tarvel_html_page: cannot write " << argv[4] << "\n";
        return 1;
    }
    return 0;
}
