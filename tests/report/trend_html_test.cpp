#include "report/trend_html.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvel {
namespace {

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// The content of the script element that holds the trend.
std::string embedded_trend(const std::string& page) {
    const std::string start = "<script type=\"application/json\" id=\"tarvel-trend\">";
    const std::size_t open = page.find(start);
    if (open == std::string::npos) {
        return "(no trend element)";
    }
    const std::size_t begin = open + start.size();
    return page.substr(begin, page.find("</script>", begin) - begin);
}

trend_data three_builds() {
    trend_data data;
    data.target = "stm32f103";
    data.branch = "main";
    data.builds = {{"a1", "", "2026-12-01T10:00:00Z"},
                   {"b2", "a1", "2026-12-02T10:00:00Z"},
                   {"c3", "b2", "2026-12-03T10:00:00Z"}};
    data.areas = {{"FLASH", "program", {1000, 1200, 1100}, {65536, 65536, 65536}},
                  {"RAM", "ram", {500, std::nullopt, 520}, {20480, std::nullopt, 20480}}};
    return data;
}

TEST(TrendHtml, EmbedsTheTrendOnceAsJsonWithNullForMissingFigures) {
    trend_data data = three_builds();
    // A list shorter than the builds: its last figures count as missing, none is invented.
    data.areas.push_back({"EEP", "eeprom", {7}, {}});
    data.areas[0].used[2] = std::numeric_limits<std::uint64_t>::max();
    const std::string page = render_trend_html(data);

    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(embedded_trend(page),
              R"({"format":"tarvel-trend","version":1,"target":"stm32f103","branch":"main",)"
              R"("builds":[{"commit":"a1","parent":null,"time":"2026-12-01T10:00:00Z"},)"
              R"({"commit":"b2","parent":"a1","time":"2026-12-02T10:00:00Z"},)"
              R"({"commit":"c3","parent":"b2","time":"2026-12-03T10:00:00Z"}],"areas":[)"
              R"({"name":"FLASH","kind":"program","used":[1000,1200,18446744073709551615],)"
              R"("size":[65536,65536,65536]},)"
              R"({"name":"RAM","kind":"ram","used":[500,null,520],"size":[20480,null,20480]},)"
              R"({"name":"EEP","kind":"eeprom","used":[7,null,null],"size":[null,null,null]}]})");
    EXPECT_EQ(occurrences(page, "\"format\":\"tarvel-trend\""), 1u);
    EXPECT_EQ(page.find("@@"), std::string::npos);
    EXPECT_NE(page.find("<title>Tarvel memory trend: stm32f103 on main</title>"),
              std::string::npos);
    // The shared styles and helpers, and the chart's own script, each once.
    EXPECT_EQ(occurrences(page, "--group-9:"), 1u);
    EXPECT_EQ(occurrences(page, "function formatInt("), 1u);
    EXPECT_EQ(occurrences(page, "function dataTable("), 1u);
    EXPECT_EQ(occurrences(page, "function renderAreaChart("), 1u);
}

TEST(TrendHtml, SummaryForViewersWithoutScriptsShowsTheLatestBuild) {
    const std::string page = render_trend_html(three_builds());
    for (const char* line : {
             "<dt>Builds</dt><dd>3</dd>",
             "<dt>Latest build</dt><dd>c3 (2026-12-03T10:00:00Z)</dd>",
             "<tr><th scope=\"row\">FLASH</th><td>program</td><td>1100</td><td>65536</td></tr>",
             "<tr><th scope=\"row\">RAM</th><td>ram</td><td>520</td><td>20480</td></tr>",
         }) {
        EXPECT_NE(page.find(line), std::string::npos) << line;
    }
    trend_data gap = three_builds();
    gap.areas[1].used.pop_back();
    EXPECT_NE(render_trend_html(gap).find("<td>ram</td><td>-</td><td>20480</td>"),
              std::string::npos);
}

TEST(TrendHtml, TextFromTheDataNeitherEndsTheScriptsNorAddsMarkup) {
    trend_data data = three_builds();
    data.target = "<b>board</b>";
    data.branch = "feature/\"quoted\"&'x'";
    data.builds[2].commit = "</script><script>alert(1)</script>";
    data.builds[2].time = "<!--";
    data.areas[0].name = "<img src=x onerror=alert(2)>";
    data.areas[1].kind = "</SCRIPT >";
    const std::string page = render_trend_html(data);

    EXPECT_EQ(page.find("<b>"), std::string::npos);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("alert(1)</script>"), std::string::npos);
    EXPECT_EQ(page.find("<img"), std::string::npos);
    EXPECT_EQ(page.find("</SCRIPT"), std::string::npos);
    EXPECT_EQ(page.find("<!--\""), std::string::npos);
    EXPECT_NE(page.find("<title>Tarvel memory trend: &lt;b&gt;board&lt;/b&gt; on "
                        "feature/&quot;quoted&quot;&amp;&#39;x&#39;</title>"),
              std::string::npos);
    EXPECT_NE(
        page.find(R"("commit":"\u003c/script\u003e\u003cscript\u003ealert(1)\u003c/script\u003e")"),
        std::string::npos);
    EXPECT_NE(page.find("<dd>&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt; (&lt;!--)"),
              std::string::npos);
    // Three scripts: the error recorder, the trend and the page's own.
    EXPECT_EQ(occurrences(page, "<script"), 3u);
    EXPECT_EQ(occurrences(page, "</script>"), 3u);
}

TEST(TrendHtml, LoadsNothingFromElsewhere) {
    std::string page = render_trend_html(three_builds());
    // The SVG namespace names the drawing's element kind; it is never fetched.
    const std::string svg_namespace = "http://www.w3.org/2000/svg";
    EXPECT_EQ(occurrences(page, svg_namespace), 1u);
    page.erase(page.find(svg_namespace), svg_namespace.size());
    for (const char* reference :
         {"http:", "https:", "src=", "href=", "url(", "@import", "//cdn", "fetch(", "XMLHttp"}) {
        EXPECT_EQ(page.find(reference), std::string::npos) << reference;
    }
    EXPECT_NE(page.find("content=\"default-src 'none';"), std::string::npos);
}

TEST(TrendHtml, AnEmptyTrendIsAPageAllTheSame) {
    const std::string page = render_trend_html(trend_data{});
    EXPECT_EQ(embedded_trend(page),
              R"({"format":"tarvel-trend","version":1,"target":"","branch":"",)"
              R"("builds":[],"areas":[]})");
    EXPECT_NE(page.find("<title>Tarvel memory trend: </title>"), std::string::npos);
    EXPECT_NE(page.find("<dt>Builds</dt><dd>0</dd>\n</dl>\n</section>"), std::string::npos);
    EXPECT_EQ(page.find("@@"), std::string::npos);
    EXPECT_NE(page.rfind("</html>"), std::string::npos);

    // Areas without builds: the figures are empty lists, not made up.
    trend_data areas_only;
    areas_only.areas = {{"FLASH", "program", {1, 2}, {3}}};
    EXPECT_NE(embedded_trend(render_trend_html(areas_only)).find(R"("used":[],"size":[])"),
              std::string::npos);
}

}  // namespace
}  // namespace tarvel
