#include "report/markdown_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "analysis/usage_diff.h"
#include "support/report_contexts.h"
#include "support/sample_model.h"

namespace tarvel {
namespace {

std::string markdown_of(const usage_model& model, const report_context& extras) {
    std::ostringstream out;
    render_markdown_report(out, test::with_model(extras, model));
    return out.str();
}

const std::string title = "### Memory usage of a.map (Orca)\n\n";

TEST(MarkdownReport, TablesPerAreaKindSearchesAndLargestEntriesBoundedByTop) {
    test::c_model_builder build;
    const usage_model& model = test::build_sample_model(build);
    EXPECT_EQ(
        markdown_of(model, test::extras(nullptr, nullptr, 2)),
        title +
            "| Program memory | Used | Free | Total | Used % |\n"
            "|:---|---:|---:|---:|---:|\n"
            "| **ROM** | 1224 | 2872 | 4096 | 29.9% |\n"
            "| Prg seg0 | 1224 | 2872 | 4096 | 29.9% |\n"
            "\n"
            "| RAM | Used | Free | Total | Used % |\n"
            "|:---|---:|---:|---:|---:|\n"
            "| **RAM** | 101 | 155 | 256 | 39.5% |\n"
            "| Ram seg0 | 101 | 155 | 256 | 39.5% |\n"
            "\n"
            "| EEPROM | Used | Free | Total | Used % |\n"
            "|:---|---:|---:|---:|---:|\n"
            "| Eep seg0 | 0 | 128 | 128 | 0.0% |\n"
            "\n"
            "| Search | Bytes | Share of used ROM |\n"
            "|:---|---:|---:|\n"
            "| App | 1000 | 81.7% |\n"
            "| \\|Os \\|App | 200 | 16.3% |\n"
            "\n"
            "1000 bytes matched more than one search and were counted once (1 repeated matches).\n"
            "\n"
            "<details><summary>Largest entries of Prg seg0 (2 of 3)</summary>\n"
            "\n"
            "| Entry | Address | Size |\n"
            "|:---|---:|---:|\n"
            "| App\\_Main | 0x00001000 | 1000 |\n"
            "| Os\\_Tick | 0x00001400 | 200 |\n"
            "\n"
            "</details>\n"
            "\n"
            "<details><summary>Largest entries of Ram seg0 (2 of 2)</summary>\n"
            "\n"
            "| Entry | Address | Size |\n"
            "|:---|---:|---:|\n"
            "| buffer | 0x00008000 | 100 |\n"
            "| flag | 0x00008080 | 10 bits |\n"
            "\n"
            "</details>\n"
            "\n");
}

TEST(MarkdownReport, KindsWithoutAreasSearchesOrEntriesHaveNoTable) {
    test::c_model_builder build;
    usage_model& model = build.ram(0, 64).done();
    model.input = {"Puma", false, "t.def", "a.map", ""};
    EXPECT_EQ(markdown_of(model, test::extras()),
              "### Memory usage of a.map (Puma)\n\n"
              "| RAM | Used | Free | Total | Used % |\n"
              "|:---|---:|---:|---:|---:|\n"
              "| **RAM** | 0 | 64 | 64 | 0.0% |\n"
              "| Ram seg0 | 0 | 64 | 64 | 0.0% |\n"
              "\n");
}

// The sample model against a base in which Os_Tick was smaller, Gone existed and the RAM
// entries did not, and an area "Old seg" that this build lacks.
usage_snapshot sample_base() {
    usage_snapshot base;
    base.ram_used = 90;
    base.rom_used = 1224;
    base.areas = {{"Prg seg0", 1000}, {"Ram seg0", 101}, {"Old seg", 50}};
    base.searches = {{"App ", 1000}, {"|Os |App ", 0}};
    base.entries = {{"Prg seg0", "App_Main", 1000},
                    {"Prg seg0", "Os_Tick", 100},
                    {"Prg seg0", "Gone", 50},
                    {"Prg seg0", "Lib\"x", 24}};
    return base;
}

TEST(MarkdownReport, WithADiffEveryTableHasAChangeColumnAndTheLargestChangesFollow) {
    test::c_model_builder build;
    const usage_model& model = test::build_sample_model(build);
    // The diff refers to the names of both snapshots, which therefore outlive it.
    const usage_snapshot base = sample_base();
    const usage_snapshot current = snapshot_of(model);
    const usage_diff diff = diff_usage(base, current);
    budget over;
    over.target = "ROM";
    over.limit_text = "1KiB";
    over.limit = {budget_limit::unit::bytes, 1024};
    budget growth;
    growth.kind = budget_kind::max_growth;
    growth.target = "Prg seg0";
    growth.limit_text = "300";
    growth.limit = {budget_limit::unit::bytes, 300};
    const std::vector<budget_result> budgets{{over, 1024, 1224, true}, {growth, 300, 224, false}};
    EXPECT_EQ(
        markdown_of(model, test::extras(&diff, &budgets, 3)),
        title +
            "| Program memory | Used | Free | Total | Used % | Change |\n"
            "|:---|---:|---:|---:|---:|---:|\n"
            "| **ROM** | 1224 | 2872 | 4096 | 29.9% | 0 (+0.0%) |\n"
            "| Prg seg0 | 1224 | 2872 | 4096 | 29.9% | +224 (+22.4%) |\n"
            "\n"
            "| RAM | Used | Free | Total | Used % | Change |\n"
            "|:---|---:|---:|---:|---:|---:|\n"
            "| **RAM** | 101 | 155 | 256 | 39.5% | +11 (+12.2%) |\n"
            "| Ram seg0 | 101 | 155 | 256 | 39.5% | 0 (+0.0%) |\n"
            "\n"
            // Not in the base and still empty: no percentage.
            "| EEPROM | Used | Free | Total | Used % | Change |\n"
            "|:---|---:|---:|---:|---:|---:|\n"
            "| Eep seg0 | 0 | 128 | 128 | 0.0% | 0 |\n"
            "\n"
            "| Search | Bytes | Share of used ROM | Change |\n"
            "|:---|---:|---:|---:|\n"
            "| App | 1000 | 81.7% | 0 (+0.0%) |\n"
            "| \\|Os \\|App | 200 | 16.3% | +200 (new) |\n"
            "\n"
            "1000 bytes matched more than one search and were counted once (1 repeated matches).\n"
            "\n"
            "| Budget | Figure | Result |\n"
            "|:---|---:|:---|\n"
            "| ROM &lt;= 1KiB (1024 bytes) | 1224 | **exceeded** |\n"
            "| Prg seg0 growth &lt;= 300 | 224 | kept |\n"
            "\n"
            "#### Largest changes (3 of 4)\n"
            "\n"
            "| Area | Entry | Before | After | Change |\n"
            "|:---|:---|---:|---:|---:|\n"
            "| Prg seg0 | Os\\_Tick | 100 | 200 | +100 grew |\n"
            "| Ram seg0 | buffer |  | 100 | +100 added |\n"
            "| Prg seg0 | Gone | 50 |  | -50 removed |\n"
            "\n");
}

TEST(MarkdownReport, ADiffWithoutChangedEntriesSaysSo) {
    test::c_model_builder build;
    const usage_model& model = test::build_sample_model(build);
    const usage_snapshot current = snapshot_of(model);
    const usage_diff diff = diff_usage(current, current);
    const std::string markdown = markdown_of(model, test::extras(&diff, nullptr, 10));
    const std::string tail = "counted once (1 repeated matches).\n\nNo entry changed.\n\n";
    ASSERT_GE(markdown.size(), tail.size());
    EXPECT_EQ(markdown.substr(markdown.size() - tail.size()), tail);
    EXPECT_EQ(markdown.find("<details>"), std::string::npos);
}

TEST(MarkdownReport, AnOverFullAreaSaysByHowMuch) {
    test::c_model_builder build;
    build.program(0x08000000, 0x100).ram(0x20000000, 0x100);
    build.model.definition.program_names = {"FLASH"};
    build.model.definition.memory_names = {"RAM"};
    // A section that runs past the region's end counts in it, as a failed link leaves it.
    build.placed(".text", 0x08000000, 480, true, 0).placed(".data", 0x20000000, 4, false, 0);
    usage_model& model = build.done({nullptr, true, true});
    model.input = {"Gnu", true, "", "app.map", ""};
    EXPECT_EQ(markdown_of(model, test::extras(nullptr, nullptr, 0)),
              "### Memory usage of app.map (Gnu)\n\n"
              "| Program memory | Used | Free | Total | Used % |\n"
              "|:---|---:|---:|---:|---:|\n"
              "| **ROM** | 480 | 0 | 256 | 187.5% |\n"
              "| FLASH | 480 | 0 | 256 | 187.5% **over by 224 bytes** |\n"
              "\n"
              "| RAM | Used | Free | Total | Used % |\n"
              "|:---|---:|---:|---:|---:|\n"
              "| **RAM** | 4 | 252 | 256 | 1.6% |\n"
              "| RAM | 4 | 252 | 256 | 1.6% |\n"
              "\n");
}

TEST(MarkdownReport, AMapWithoutRegionsIsSplitBySectionKindWithoutSizes) {
    test::c_model_builder build;
    build.program(0, 0).ram(0, 0);
    build.model.definition.without_regions = true;
    build.model.definition.program_names = {"program memory"};
    build.model.definition.memory_names = {"RAM"};
    build.placed(".text.main", 0x8000, 0x58, true, 0, 0)
        .placed(".rodata.str1.1", 0x8058, 6, true, 0, 0)
        .placed("*fill*", 0x805E, 2, true, 0)
        .placed(".data", 0x8060, 4, true, 0, 0)  // the load image of .data below
        .placed(".data", 0x9060, 4, false, 0, 0)
        .placed(".bss", 0x9064, 8, false, 0, 1)
        .placed("COMMON", 0x906C, 4, false, 0, 1);
    usage_model& model = build.done({nullptr, true, true});
    model.input = {"Gnu", true, "", "app.map", ""};
    EXPECT_EQ(markdown_of(model, test::extras(nullptr, nullptr, 0)),
              "### Memory usage of app.map (Gnu)\n\n"
              "The map names no memory regions (linked with the linker's default script): give "
              "the target's memory with `--def FILE` for totals and percentages.\n\n"
              "| Program memory | Bytes |\n|:---|---:|\n"
              "| **Used** | 100 |\n"
              "| code | 88 |\n"
              "| constants | 6 |\n"
              "| load images of RAM sections | 4 |\n"
              "| other | 2 |\n\n"
              "| RAM | Bytes |\n|:---|---:|\n"
              "| **Used** | 16 |\n"
              "| initialised data | 4 |\n"
              "| zero data | 12 |\n"
              "| other | 0 |\n\n");
}

TEST(MarkdownText, MarkupCharactersAreEscaped) {
    EXPECT_EQ(markdown_text("plain name 1.2"), "plain name 1.2");
    EXPECT_EQ(markdown_text("a|b"), "a\\|b");
    EXPECT_EQ(markdown_text("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;");
    EXPECT_EQ(markdown_text("&amp;"), "&amp;amp;");
    EXPECT_EQ(markdown_text("\\`*_[]#~"), "\\\\\\`\\*\\_\\[\\]\\#\\~");
}

TEST(MarkdownReport, NamesFromTheMapCannotBreakTheTablesOrInjectMarkup) {
    test::c_model_builder build;
    build.program(0, 0x100).search("|x");
    build.entry("a|b", 0, 4).entry("<script>x</script>", 4, 2);
    usage_model& model = build.done();
    model.input = {"Puma", false, "t.def", "out|<b>.map", ""};
    const std::string markdown = markdown_of(model, test::extras(nullptr, nullptr, 10));
    EXPECT_EQ(markdown.find("<script>"), std::string::npos);
    EXPECT_EQ(markdown.find("<b>"), std::string::npos);
    EXPECT_NE(markdown.find("### Memory usage of out\\|&lt;b&gt;.map (Puma)\n"), std::string::npos);
    EXPECT_NE(markdown.find("| a\\|b | 0x00000000 | 4 |\n"), std::string::npos);
    EXPECT_NE(markdown.find("| &lt;script&gt;x&lt;/script&gt; | 0x00000004 | 2 |\n"),
              std::string::npos);
    EXPECT_NE(markdown.find("| \\|x | 2 | 33.3% |\n"), std::string::npos);
}

}  // namespace
}  // namespace tarvel
