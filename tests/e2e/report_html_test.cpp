// tarvel-report --html and --format html: the page, with the run's JSON report embedded once,
// written like every other output file, and the same JSON as --json writes beside it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/report_run.h"

namespace tarvel::test {
namespace {

// The text between the page's data element and its end.
std::string embedded_report(const std::string& page) {
    const std::string open = "<script type=\"application/json\" id=\"tarvel-data\">";
    const std::size_t start = page.find(open);
    if (start == std::string::npos) {
        return "";
    }
    const std::size_t from = start + open.size();
    return page.substr(from, page.find("</script>", from) - from);
}

TEST(ReportHtml, PageFileEmbedsTheJsonReportOfTheSameRun) {
    const c_temp_dir dir;
    write_small_puma_input(dir);
    std::vector<std::string> arguments = small_puma_arguments;
    arguments.insert(arguments.end(),
                     {"--html", "page.html", "--json", "r.json", "--max", "ROM=1"});
    const process_result result = run_report(dir, arguments);
    EXPECT_EQ(result.exit_code, 1);  // the budget is exceeded; the files are written all the same
    const std::string page = dir.read("page.html");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    std::string json = dir.read("r.json");
    while (!json.empty() && (json.back() == '\n' || json.back() == '\r')) {
        json.pop_back();
    }
    std::string embedded = embedded_report(page);
    while (!embedded.empty() && (embedded.back() == '\n' || embedded.back() == '\r')) {
        embedded.pop_back();
    }
    // The JSON's own escapes keep "<" out of it, so it stands in the page unchanged.
    EXPECT_EQ(embedded, json);
    EXPECT_NE(json.find("\"budgets\""), std::string::npos);
    for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
        EXPECT_EQ(file.path().string().find(".tmp"), std::string::npos) << file.path();
    }
}

TEST(ReportHtml, PageToStandardOutputAndTreemapGroupingFromBy) {
    const c_temp_dir dir;
    write_small_puma_input(dir);
    std::vector<std::string> arguments = small_puma_arguments;
    arguments.insert(arguments.end(), {"--format", "html", "--by", "object"});
    const process_result result = run_report(dir, arguments);
    ASSERT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(result.output.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(result.output.find("\"grouping\":\"object\""), std::string::npos);
    EXPECT_FALSE(embedded_report(result.output).empty());
}

}  // namespace
}  // namespace tarvel::test
