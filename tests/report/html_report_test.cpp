#include "report/html_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report/html_summary.h"
#include "report/html_text.h"
#include "report/json_report.h"
#include "support/model_builder.h"
#include "support/report_contexts.h"

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

std::string json_of(const usage_model& model) {
    std::ostringstream out;
    render_json_report(out, test::json_context(model, "3.0.0.0"));
    return out.str();
}

std::string page_of(const usage_model& model, const std::string& json,
                    group_by grouping = group_by::section) {
    std::ostringstream out;
    render_html_report(out,
                       test::page_context(model, json, "2026-12-08 10:00", "3.0.0.0", grouping));
    return out.str();
}

// The text between the start tag that begins with `start` and the next "</script>".
std::string script_content(const std::string& page, const std::string& start) {
    const std::size_t open = page.find(start);
    if (open == std::string::npos) {
        return "(no " + start + ")";
    }
    const std::size_t begin = page.find('>', open) + 1;
    return page.substr(begin, page.find("</script>", begin) - begin);
}

class HtmlReport : public ::testing::Test {
  protected:
    HtmlReport() {
        build.program(0, 8192).ram(0x100000, 4096).search("Can").search("|Com |Lin");
        build.entry("CanIf_Tx", 0, 3000).entry("Com_Main", 4000, 1200);
        build.entry("buffer", 0x100000, 1000);
    }

    test::c_model_builder build;
};

TEST_F(HtmlReport, EmbedsTheReportOnceWithThePageSettings) {
    const usage_model& model = build.done();
    const std::string json = json_of(model);
    const std::string page = page_of(model, json, group_by::object);

    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(script_content(page, "<script type=\"application/json\" id=\"tarvel-data\""), json);
    EXPECT_EQ(occurrences(page, "\"format\":\"tarvel-usage\""), 1u);
    EXPECT_EQ(script_content(page, "<script type=\"application/json\" id=\"tarvel-settings\""),
              R"({"run_date":"2026-12-08 10:00","version":"3.0.0.0","grouping":"object"})");
    // The styles and every script file are inline, each once, and no marker is left over.
    EXPECT_EQ(occurrences(page, "function squarify("), 1u);
    EXPECT_EQ(occurrences(page, "function main("), 1u);
    EXPECT_EQ(occurrences(page, "--group-9:"), 1u);
    EXPECT_EQ(page.find("@@"), std::string::npos);
    EXPECT_NE(page.find("<title>Tarvel memory report: </title>"), std::string::npos);
}

TEST_F(HtmlReport, LoadsNothingFromElsewhere) {
    const usage_model& model = build.done();
    const std::string page = page_of(model, "{}");
    for (const char* reference : {"http:", "https:", "src=", "href=", "url(", "@import", "//cdn"}) {
        EXPECT_EQ(page.find(reference), std::string::npos) << reference;
    }
    // The browser is told so too: nothing may come from anywhere but the page itself.
    EXPECT_NE(page.find("content=\"default-src 'none';"), std::string::npos);
}

TEST_F(HtmlReport, NamesFromTheInputsNeitherEndTheScriptsNorAddMarkup) {
    build.entry("</script><script>alert(1)</script>", 5400, 10);
    build.entry("<!--", 5500, 10);
    usage_model& model = build.done();
    model.input.map = "out/<b>app</b>.map";
    model.input.type = "Puma\"><i>";
    const std::string page = page_of(model, json_of(model));

    EXPECT_EQ(page.find("alert(1)</script>"), std::string::npos);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("<!--\""), std::string::npos);
    EXPECT_EQ(page.find("<b>app"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_NE(page.find("\\u003c/script\\u003e\\u003cscript\\u003ealert(1)"), std::string::npos);
    EXPECT_NE(page.find("<title>Tarvel memory report: out/&lt;b&gt;app&lt;/b&gt;.map</title>"),
              std::string::npos);
    // Four scripts: the error recorder, the settings, the report and the page's own.
    EXPECT_EQ(occurrences(page, "<script"), 4u);
    EXPECT_EQ(occurrences(page, "</script>"), 4u);
}

TEST_F(HtmlReport, AReportTextWithMarkupIsEscapedOnTheWayIn) {
    // Whatever the caller hands over, no "<" reaches the script element unescaped.
    const usage_model& model = build.done();
    const std::string page = page_of(model, R"({"name":"</script><script>x()</script><!--"})");
    EXPECT_EQ(script_content(page, "<script type=\"application/json\" id=\"tarvel-data\""),
              R"({"name":"\u003c/script>\u003cscript>x()\u003c/script>\u003c!--"})");
}

TEST_F(HtmlReport, SummaryForViewersWithoutScripts) {
    build.entry("flags", 0x100400, 13, true);
    usage_model& model = build.done();
    model.input.definition = "target.def";
    model.input.map = "app.map";
    model.input.type = "Orca";
    model.input.detected = true;
    std::ostringstream out;
    render_html_summary(out, model, {"2026-12-08 10:00", "3.0.0.0"});
    const std::string summary = out.str();

    EXPECT_EQ(summary.rfind("<section id=\"tarvel-summary\"", 0), 0u);
    for (const char* line : {
             "<dt>Map</dt><dd>app.map</dd>",
             "<dt>Map type</dt><dd>Orca (detected)</dd>",
             "<dt>Memory definition</dt><dd>target.def</dd>",
             "<dt>Run</dt><dd>2026-12-08 10:00</dd>",
             "<dt>Version</dt><dd>3.0.0.0</dd>",
             // RAM counts the 13 bits as 1.625 bytes, printed rounded as the text report does.
             "<tr><th scope=\"row\">RAM</th><td>1002</td><td>3094</td><td>4096</td><td>24.5%</td>",
             "<tr><th scope=\"row\">ROM</th><td>4200</td><td>3992</td><td>8192</td><td>51.3%</td>",
             "<tr><th scope=\"row\">Prg seg0</th><td>4200</td><td>3992</td><td>8192</td><td>51.3%",
             "<tr><th scope=\"row\">Ram seg0</th><td>1002</td><td>3094</td><td>4096</td><td>24.5%",
         }) {
        EXPECT_NE(summary.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(summary.find("EEPROM file"), std::string::npos);

    model.input.definition.clear();
    model.input.eep = "EepPrj.src";
    std::ostringstream again;
    render_html_summary(again, model, {"", ""});
    EXPECT_NE(again.str().find("<dd>the map&#39;s memory regions</dd>"), std::string::npos);
    EXPECT_NE(again.str().find("<dt>EEPROM file</dt><dd>EepPrj.src</dd>"), std::string::npos);
}

TEST(HtmlText, EscapesEveryMarkupCharacter) {
    EXPECT_EQ(html_escaped(R"(a<b>&"c'd)"), "a&lt;b&gt;&amp;&quot;c&#39;d");
    EXPECT_EQ(html_escaped(""), "");
    EXPECT_EQ(html_escaped("\xC3\xA4 plain"), "\xC3\xA4 plain");
}

TEST(HtmlText, ScriptJsonEscapesEachLessThanSign) {
    const auto written = [](std::string_view json) {
        std::ostringstream out;
        write_script_json(out, json);
        return out.str();
    };
    EXPECT_EQ(written(""), "");
    EXPECT_EQ(written(R"({"a":1})"), R"({"a":1})");
    EXPECT_EQ(written("<"), "\\u003c");
    EXPECT_EQ(written("<<a<"), "\\u003c\\u003ca\\u003c");
    EXPECT_EQ(written("x</script>"), "x\\u003c/script>");
}

TEST_F(HtmlReport, MakesTheEmbeddedReportItselfWhenNoneIsGiven) {
    const usage_model& model = build.done();
    const std::string json = json_of(model);
    // Without a ready report the page holds the one the JSON renderer writes for the context.
    const std::string page = page_of(model, "");
    EXPECT_EQ(script_content(page, "<script type=\"application/json\" id=\"tarvel-data\""), json);
    EXPECT_EQ(page, page_of(model, json));
    // The searches' breakdown, --by section, is the treemaps' "search" grouping.
    EXPECT_EQ(script_content(page, "<script type=\"application/json\" id=\"tarvel-settings\""),
              R"({"run_date":"2026-12-08 10:00","version":"3.0.0.0","grouping":"search"})");
    EXPECT_NE(page_of(model, json, group_by::archive).find(R"("grouping":"archive")"),
              std::string::npos);
}

}  // namespace
}  // namespace tarvel
