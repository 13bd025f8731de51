// The trend page in a real browser: pages rendered from trends are opened in headless
// Chromium and the document after the page's script ran is read back. The lines must pass
// through the figures (their coordinates mapped back through the axes' own ticks), the
// largest steps be the ones marked, the tooltip tell the build under the pointer, names be
// shown as text, and the page log no error and fetch nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string_view>

#include "report/trend_html.h"
#include "support/browser.h"
#include "support/dom_scan.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace tarvel {
namespace {

using test::dom_element;
using test::elements_with;
using figures = std::vector<std::optional<std::uint64_t>>;

std::string commit_id(std::size_t build) {
    std::mt19937 random(static_cast<std::uint32_t>(build) + 17);
    std::string id;
    for (int i = 0; i < 40; ++i) {
        id += "0123456789abcdef"[random() % 16];
    }
    return id;
}

std::string build_time(std::size_t build) {
    char text[32];
    std::snprintf(text, sizeof text, "2026-%02zu-%02zuT09:%02zu:00Z", 1 + build / 28 % 12,
                  1 + build % 28, build % 60);
    return text;
}

std::vector<trend_build> builds_of(std::size_t count) {
    std::vector<trend_build> builds;
    for (std::size_t i = 0; i < count; ++i) {
        builds.push_back({commit_id(i), i == 0 ? "" : commit_id(i - 1), build_time(i)});
    }
    return builds;
}

// The points of an SVG path of "M x,y L x,y ..." commands, one list per run of L after an M.
std::vector<std::vector<std::pair<double, double>>> path_runs(const std::string& d) {
    std::vector<std::vector<std::pair<double, double>>> runs;
    std::istringstream words(d);
    for (std::string word; words >> word;) {
        if (word[0] == 'M') {
            runs.emplace_back();
        }
        const std::size_t comma = word.find(',');
        if (runs.empty() || comma == std::string::npos) {
            ADD_FAILURE() << "unexpected path word " << word;
            return runs;
        }
        runs.back().emplace_back(std::stod(word.substr(1, comma - 1)),
                                 std::stod(word.substr(comma + 1)));
    }
    return runs;
}

// The part of the document that shows one area's chart, by the area's name as the section's
// data-area attribute holds it (escaped as the serialiser writes it).
std::string chart_part(const std::string& dom, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t i = 0; i <= index; ++i) {
        at = dom.find("<section class=\"trend-area\"", at + 1);
        if (at == std::string::npos) {
            return {};
        }
    }
    const std::size_t end = dom.find("</section>", at);
    return dom.substr(at, end - at);
}

// The chart's scales as its axes state them: each tick names its figure (or build) and where
// it stands.
struct chart_axes {
    double y_of_zero = 0, y_per_byte = 0, x_of_first = 0, x_per_build = 0;
    double top = 0;

    double x(std::size_t build) const { return x_of_first + x_per_build * build; }
    double y(double value) const { return y_of_zero + y_per_byte * value; }
};

chart_axes axes_of(const std::string& chart) {
    chart_axes axes;
    std::vector<std::pair<double, double>> y_ticks;
    std::vector<std::pair<double, double>> x_ticks;
    for (const dom_element& element : elements_with(chart, "class")) {
        if (element["class"] == "trend-y-tick") {
            y_ticks.emplace_back(element.number("data-value"), element.number("data-y"));
        } else if (element["class"] == "trend-x-tick") {
            x_ticks.emplace_back(element.number("data-build"), element.number("data-x"));
        }
    }
    EXPECT_GE(y_ticks.size(), 2u);
    EXPECT_GE(x_ticks.size(), 2u);
    if (y_ticks.size() < 2 || x_ticks.size() < 2) {
        return axes;
    }
    EXPECT_EQ(y_ticks.front().first, 0) << "the figure axis begins at 0 bytes";
    const auto [v0, y0] = y_ticks.front();
    const auto [v1, y1] = y_ticks.back();
    axes.top = v1;
    axes.y_per_byte = (y1 - y0) / (v1 - v0);
    axes.y_of_zero = y0 - axes.y_per_byte * v0;
    const auto [b0, x0] = x_ticks.front();
    const auto [b1, x1] = x_ticks.back();
    axes.x_per_build = (x1 - x0) / (b1 - b0);
    axes.x_of_first = x0 - axes.x_per_build * b0;
    return axes;
}

// The line of `series` in `chart` must visit every build with a figure, in order, and break
// where a build has none.
void expect_line_through(const std::string& chart, const std::string& series, const figures& values,
                         const chart_axes& axes) {
    std::string d;
    for (const dom_element& path : elements_with(chart, "data-series")) {
        if (path["data-series"] == series) {
            d = path["d"];
        }
    }
    std::vector<std::vector<std::pair<double, double>>> expected;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!values[i].has_value()) {
            continue;
        }
        if (i == 0 || !values[i - 1].has_value() || expected.empty()) {
            expected.emplace_back();
        }
        expected.back().emplace_back(axes.x(i), axes.y(static_cast<double>(*values[i])));
    }
    const auto runs = path_runs(d);
    ASSERT_EQ(runs.size(), expected.size()) << series << ": " << d.substr(0, 200);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        ASSERT_EQ(runs[r].size(), expected[r].size()) << series << " run " << r;
        for (std::size_t p = 0; p < runs[r].size(); ++p) {
            // Coordinates are written to a hundredth, the ticks too.
            EXPECT_NEAR(runs[r][p].first, expected[r][p].first, 0.03) << series << " " << p;
            EXPECT_NEAR(runs[r][p].second, expected[r][p].second, 0.03) << series << " " << p;
        }
    }
}

class TrendBrowser : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the Windows build runs under Wine, where no browser runs";
#else
        browser_ = test::find_browser();
        ASSERT_FALSE(browser_.empty())
            << "no headless Chromium: install chromium-headless-shell (scripts/setup.sh) or set "
               "TARVEL_BROWSER";
#endif
    }

    // Renders `data`, adds the test's own `script` at the end of the body (it runs after the
    // page's script, as a reader's pointer would), opens the page and returns the document.
    // Fails the test on a recorded error, a console message or any request from the page.
    std::string open(const trend_data& data, const std::string& script = "") {
        std::string page = render_trend_html(data);
        if (!script.empty()) {
            page.insert(page.rfind("</body>"), "<script>" + script + "</script>\n");
        }
        const auto path = dir_.write("trend.html", page);
        const auto net_log = dir_.path() / "net-log.json";
        const test::browser_result result = test::open_page(browser_, path, "", net_log);
        EXPECT_EQ(result.exit_code, 0) << result.log;
        EXPECT_EQ(test::console_messages(result.log), "");
        EXPECT_EQ(test::requested_urls(net_log), std::vector<std::string>{});
        const auto errors = elements_with(result.dom, "data-count");
        EXPECT_EQ(errors.size(), 1u);
        if (!errors.empty()) {
            EXPECT_EQ(errors[0]["data-count"], "0") << result.dom.substr(0, 4000);
        }
        const auto body = elements_with(result.dom, "data-ready");
        EXPECT_EQ(body.size(), 1u) << "the page's script did not finish";
        if (!body.empty()) {
            ready_ms_ = body[0]["data-ready-ms"];
        }
        return result.dom;
    }

    // 30 builds of FLASH growing by 2 bytes a build, with eleven larger steps (one against
    // the build before a gap), and a RAM area that the first two builds lack.
    static trend_data stepped_trend() {
        trend_data data;
        data.target = "stm32f103";
        data.branch = "main";
        data.builds = builds_of(30);
        const std::map<std::size_t, std::int64_t> jumps = {
            {3, 3000},  {5, -2500}, {8, 400},  {11, 1200}, {13, 800}, {14, 900},
            {17, -700}, {20, 650},  {22, 600}, {25, 550},  {27, 500}, {28, 450}};
        trend_area flash{"FLASH", "program", {}, {}};
        trend_area ram{"RAM", "ram", {}, {}};
        std::int64_t used = 10000;
        for (std::size_t i = 0; i < 30; ++i) {
            const bool missing = i == 12;
            if (i > 0 && !missing) {
                used += jumps.count(i) != 0 ? jumps.at(i) : 2;
            }
            flash.used.push_back(missing ? figures::value_type{}
                                         : static_cast<std::uint64_t>(used));
            flash.size.push_back(missing ? figures::value_type{}
                                         : std::uint64_t{i < 20 ? 65536u : 131072u});
            ram.used.push_back(i < 2 ? figures::value_type{} : 4000 + (i % 5) * 16);
            ram.size.push_back(i < 2 ? figures::value_type{} : 8192);
        }
        data.areas = {flash, ram};
        return data;
    }

    std::string browser_;
    std::string ready_ms_;
    test::c_temp_dir dir_;
};

TEST_F(TrendBrowser, LinesPassThroughTheFiguresAndTheLargestStepsAreMarked) {
    const trend_data data = stepped_trend();
    const std::string dom = open(data);
    if (HasFatalFailure()) {
        return;
    }
    for (std::size_t a = 0; a < data.areas.size(); ++a) {
        const trend_area& area = data.areas[a];
        SCOPED_TRACE(area.name);
        const std::string chart = chart_part(dom, a);
        ASSERT_NE(chart.find("data-area=\"" + area.name + "\""), std::string::npos);
        const chart_axes axes = axes_of(chart);
        EXPECT_LT(axes.y_per_byte, 0) << "more bytes stand higher";
        EXPECT_GT(axes.x_per_build, 0) << "later builds stand further right";
        std::uint64_t largest = 0;
        for (const auto& figure : area.size) {
            largest = std::max(largest, figure.value_or(0));
        }
        EXPECT_GE(axes.top, static_cast<double>(largest));
        EXPECT_LT(axes.top, 2.0 * static_cast<double>(largest));
        expect_line_through(chart, "used", area.used, axes);
        expect_line_through(chart, "size", area.size, axes);
    }

    // The ten largest steps of FLASH, largest first: the one after the gap counts against the
    // build before it; +450 and +400 are left out.
    std::vector<std::pair<std::string, std::string>> marked;
    const std::string flash = chart_part(dom, 0);
    for (const dom_element& step : elements_with(flash, "data-rank")) {
        marked.emplace_back(step["data-build"], step["data-change"]);
        EXPECT_EQ(step["class"],
                  step.number("data-change") > 0 ? "trend-step grew" : "trend-step shrank");
    }
    EXPECT_EQ(marked, (std::vector<std::pair<std::string, std::string>>{{"3", "3000"},
                                                                        {"5", "-2500"},
                                                                        {"11", "1200"},
                                                                        {"14", "900"},
                                                                        {"13", "800"},
                                                                        {"17", "-700"},
                                                                        {"20", "650"},
                                                                        {"22", "600"},
                                                                        {"25", "550"},
                                                                        {"27", "500"}}));
    // RAM moves by 16 a build and falls by 64 every fifth: those falls are its largest steps.
    std::vector<std::string> ram_steps;
    for (const dom_element& step : elements_with(chart_part(dom, 1), "data-rank")) {
        ram_steps.push_back(step["data-build"] + ":" + step["data-change"]);
    }
    EXPECT_EQ(ram_steps, (std::vector<std::string>{"5:-64", "10:-64", "15:-64", "20:-64", "25:-64",
                                                   "3:16", "4:16", "6:16", "7:16", "8:16"}));

    // The table of the builds, newest first, with the figures and changes of each area.
    const auto table = elements_with(dom, "data-table");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0]["data-rows"], "30");
    const auto rows = elements_with(dom, "data-row");
    ASSERT_EQ(rows.size(), 30u);
    const std::size_t first_row = dom.find("data-row=\"0\"");
    const std::string newest = dom.substr(first_row, dom.find("</tr>", first_row) - first_row);
    EXPECT_NE(
        newest.find(">30</td><td>" + data.builds[29].commit.substr(0, 12) + "</td><td>" +
                    data.builds[28].commit.substr(0, 12) + "</td><td>" + data.builds[29].time +
                    "</td><td class=\"numeric\">15,882</td><td class=\"numeric\">+2</td>"),
        std::string::npos)
        << newest;
    const std::size_t gap_row = dom.find("data-row=\"16\"");  // build 13 after the gap
    const std::string gap = dom.substr(gap_row, dom.find("</tr>", gap_row) - gap_row);
    EXPECT_NE(gap.find(">+800</td>"), std::string::npos) << gap;
    const std::size_t missing_row = dom.find("data-row=\"17\"");  // build 12, no FLASH
    EXPECT_NE(dom.substr(missing_row, 400).find("\xE2\x80\x93</td><td class=\"numeric\"></td>"),
              std::string::npos);
}

// Points at `chart`'s build `build` as a mouse would, then copies what the tooltip says into
// an element of its own (data-hover-chart, data-hover-build), before the next hover.
const char* hover_script = R"(
function hoverAt(chart, build, how) {
    const section = document.querySelectorAll(".trend-area")[chart];
    const svg = section.querySelector("svg");
    const overlay = section.querySelector(".trend-overlay");
    if (how === "key") {
        svg.focus();
        svg.dispatchEvent(new KeyboardEvent("keydown", { key: build, bubbles: true }));
    } else {
        const x = Number(svg.dataset.xFirst) + build * Number(svg.dataset.xStep);
        const at = new DOMPoint(x, 100).matrixTransform(svg.getScreenCTM());
        overlay.dispatchEvent(new MouseEvent("mousemove", { clientX: at.x, clientY: at.y, bubbles: true }));
    }
    const tooltip = section.querySelector(".trend-tooltip");
    const copy = document.createElement("pre");
    copy.dataset.hoverChart = String(chart);
    copy.dataset.hoverBuild = tooltip.hidden ? "hidden" : tooltip.dataset.build;
    copy.textContent = Array.from(tooltip.children).map((line) => line.textContent).join("|");
    document.body.appendChild(copy);
}
hoverAt(0, 13);
hoverAt(0, 12);
hoverAt(1, 0);
hoverAt(1, 29);
hoverAt(1, "Home", "key");
hoverAt(1, "ArrowRight", "key");
hoverAt(0, "End", "key");
document.querySelectorAll(".trend-overlay")[0].dispatchEvent(new MouseEvent("mouseleave"));
hoverAt(0, "ArrowLeft", "key");
)";

TEST_F(TrendBrowser, HoverTellsCommitDateAndFigures) {
    const trend_data data = stepped_trend();
    const std::string dom = open(data, hover_script);
    std::vector<std::string> hovers;
    for (const dom_element& copy : elements_with(dom, "data-hover-chart")) {
        hovers.push_back(copy["data-hover-chart"] + "@" + copy["data-hover-build"]);
    }
    EXPECT_EQ(hovers, (std::vector<std::string>{"0@13", "0@12", "1@0", "1@29", "1@0", "1@1", "0@29",
                                                "0@29"}));
    const auto text_of = [&](std::size_t n) {
        std::size_t at = 0;
        for (std::size_t i = 0; i <= n; ++i) {
            at = dom.find("<pre data-hover-chart", at + 1);
        }
        const std::size_t begin = dom.find('>', at) + 1;
        return test::decode_references(dom.substr(begin, dom.find("</pre>", begin) - begin));
    };
    const std::string dot = "\xC2\xB7";
    EXPECT_EQ(text_of(0), data.builds[13].commit + "|" + data.builds[13].time +
                              "|build 14 of 30|Used 12,914 B of 65,536 B " + dot +
                              " 19.7%|Free 52,622 B|Change +800 B against " +
                              data.builds[11].commit.substr(0, 12));
    EXPECT_EQ(text_of(1), data.builds[12].commit + "|" + data.builds[12].time +
                              "|build 13 of 30|The build has no FLASH.");
    EXPECT_EQ(text_of(2), data.builds[0].commit + "|" + data.builds[0].time +
                              "|build 1 of 30|The build has no RAM.");
    EXPECT_EQ(text_of(3), data.builds[29].commit + "|" + data.builds[29].time +
                              "|build 30 of 30|Used 4,064 B of 8,192 B " + dot +
                              " 49.6%|Free 4,128 B|Change +16 B against " +
                              data.builds[28].commit.substr(0, 12));
    EXPECT_NE(text_of(6).find("|Used 15,882 B of 131,072 B " + dot + " 12.1%|"), std::string::npos);
}

TEST_F(TrendBrowser, NamesFromTheDataAreShownAsTextNeverRun) {
    trend_data data = stepped_trend();
    data.target = "<img src=x onerror=\"document.body.dataset.pwned=1\">";
    data.branch = "<b>topic</b>";
    data.areas[0].name = "<script>document.body.dataset.pwned=2</script>";
    data.builds[29].commit = "<i>head</i>";
    const std::string dom = open(data);

    EXPECT_EQ(dom.find("data-pwned"), std::string::npos);
    std::map<std::string, int> tags;
    for (const dom_element& element : elements_with(dom)) {
        ++tags[element.tag];
    }
    EXPECT_EQ(tags["script"], 3);
    EXPECT_EQ(tags["img"], 0);
    EXPECT_EQ(tags["b"], 0);
    EXPECT_EQ(tags["i"], 0);
    EXPECT_NE(dom.find(">&lt;script&gt;document.body.dataset.pwned=2&lt;/script&gt;</span>"),
              std::string::npos);
    EXPECT_NE(dom.find("data-field=\"branch\">&lt;b&gt;topic&lt;/b&gt;</dd>"), std::string::npos);
    EXPECT_NE(dom.find("<td>&lt;i&gt;head&lt;/i&gt;</td>"), std::string::npos);
}

TEST_F(TrendBrowser, EmptyTrendsAndAreasWithoutFigures) {
    const std::string empty = open(trend_data{"board", "main", {}, {}});
    EXPECT_NE(empty.find("No build is stored for this target and branch."), std::string::npos);
    EXPECT_EQ(elements_with(empty, "data-series").size(), 0u);

    trend_data data{"board", "main", builds_of(3), {}};
    data.areas = {{"FLASH", "program", {std::nullopt, std::nullopt, std::nullopt}, {}},
                  {"RAM", "ram", {std::nullopt, 100, std::nullopt}, {std::nullopt, 200, 200}}};
    const std::string dom = open(data);
    EXPECT_NE(dom.find("No build has this area."), std::string::npos);
    // A lone figure between gaps draws no line but a dot of its own.
    const auto dots = elements_with(dom, "data-build");
    std::size_t lone = 0;
    for (const dom_element& dot : dots) {
        lone += dot.tag == "circle" && dot["class"] == "trend-dot-used";
    }
    EXPECT_EQ(lone, 1u);
    EXPECT_EQ(elements_with(dom, "data-rank").size(), 0u) << "no step without two figures";
}

TEST_F(TrendBrowser, TenThousandBuildsStayFewElements) {
    trend_data data{"board", "main", builds_of(10000), {}};
    trend_area flash{"FLASH", "program", {}, {}};
    trend_area ram{"RAM", "ram", {}, {}};
    std::mt19937 random(7);
    std::uint64_t used = 200000;
    for (std::size_t i = 0; i < 10000; ++i) {
        used += random() % 64;
        used -= random() % 48;
        flash.used.push_back(used);
        flash.size.push_back(524288);
        ram.used.push_back(i % 997 == 0 ? figures::value_type{} : 20000 + random() % 2000);
        ram.size.push_back(24576);
    }
    data.areas = {flash, ram};
    const std::string dom = open(data);
    std::cout << "10000 builds, 2 areas: page ready after " << ready_ms_ << " ms\n";

    // Two paths per chart, ten step markers, a page of table rows: not an element per point.
    EXPECT_LT(elements_with(dom).size(), 3500u);
    const auto axes = axes_of(chart_part(dom, 0));
    expect_line_through(chart_part(dom, 0), "used", flash.used, axes);
    EXPECT_EQ(elements_with(chart_part(dom, 1), "data-rank").size(), 10u);
    const auto table = elements_with(dom, "data-table");
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0]["data-rows"], "10000");
    EXPECT_EQ(table[0]["data-shown"], "200");
}

// The picture of the page, taken as the report page's is (scripts/screenshot.sh), is left in
// the build directory (build/trend-example.png) to be looked at.
TEST_F(TrendBrowser, PictureOfThePage) {
    const auto page = dir_.write("trend.html", render_trend_html(stepped_trend()));
    const auto picture = std::filesystem::path(TARVEL_BINARY_DIR) / "trend-example.png";
    std::filesystem::remove(picture);
    const std::filesystem::path source(TARVEL_SOURCE_DIR);
    const test::process_result run =
        test::run_program("/bin/bash",
                          {(source / "scripts" / "screenshot.sh").string(), "--page", page.string(),
                           "--out", picture.string(), "--browser", browser_},
                          dir_.path());
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(picture));
}

}  // namespace
}  // namespace tarvel
