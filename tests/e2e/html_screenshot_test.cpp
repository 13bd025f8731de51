// The picture of the HTML report that the README shows can be made: scripts/screenshot.sh
// takes the bundled Puma example's page in headless Chromium. The test leaves the picture in
// the build directory (build/report-example.png) to be looked at; the committed one,
// docs/report-example.png, is renewed by running the script without --out.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "analysis/usage_analysis.h"
#include "report/html_report.h"
#include "report/json_report.h"
#include "support/browser.h"
#include "support/process.h"
#include "support/report_contexts.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

TEST(HtmlScreenshot, PumaExamplePicture) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows build runs under Wine, where no browser runs";
#else
    ASSERT_FALSE(test::find_browser().empty())
        << "no headless Chromium: install chromium-headless-shell (scripts/setup.sh)";
    const std::filesystem::path source(TARVEL_SOURCE_DIR);
    const std::filesystem::path example = source / "examples" / "puma";
    usage_model model;
    ASSERT_EQ(analyze_usage({"Puma", (example / "target.def").string(),
                             (example / "application.map").string(), false},
                            model),
              analysis_status::ok);
    // Named as a run from the repository's root names them.
    model.input.definition = "examples/puma/target.def";
    model.input.map = "examples/puma/application.map";
    std::ostringstream json;
    render_json_report(json, test::json_context(model, "3.0.0"));
    std::ostringstream page;
    render_html_report(page, test::page_context(model, json.str(), "2026-12-08 10:00", "3.0.0"));
    const test::c_temp_dir dir;
    const auto page_path = dir.write("puma.html", page.str());

    const auto picture = std::filesystem::path(TARVEL_BINARY_DIR) / "report-example.png";
    std::filesystem::remove(picture);
    const test::process_result run =
        test::run_program("/bin/bash",
                          {(source / "scripts" / "screenshot.sh").string(), "--page",
                           page_path.string(), "--out", picture.string()},
                          dir.path());
    EXPECT_EQ(run.exit_code, 0) << run.output;
    ASSERT_TRUE(std::filesystem::exists(picture));
    // The script checks that it is a PNG of some size; here only that it left it.
    EXPECT_GT(std::filesystem::file_size(picture), 40000u);
#endif
}

}  // namespace
}  // namespace tarvel
