#include "report/report_formats.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "support/report_contexts.h"
#include "support/sample_model.h"

namespace tarvel {
namespace {

constexpr report_format every_format[] = {report_format::text, report_format::json,
                                          report_format::csv, report_format::markdown,
                                          report_format::html};

TEST(ReportFormatTable, EveryFormatHasOneRowWhoseNameMapsBack) {
    std::set<std::string_view> names;
    for (const report_format format : every_format) {
        const report_format_row& row = report_format_of(format);
        EXPECT_EQ(row.format, format);
        EXPECT_EQ(report_format_name(format), row.name);
        ASSERT_NE(find_report_format(row.name), nullptr) << row.name;
        EXPECT_EQ(find_report_format(row.name)->format, format);
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
    }
    EXPECT_EQ(report_formats().size(), std::size(every_format));
    // The command line's words, exactly: no other case, no prefix.
    EXPECT_EQ(find_report_format("Markdown"), nullptr);
    EXPECT_EQ(find_report_format("md"), nullptr);
    EXPECT_EQ(find_report_format(""), nullptr);
}

TEST(ReportFormatTable, EveryFormatButTextHasTheFileOptionOfItsName) {
    for (const report_format_row& row : report_formats()) {
        if (row.format == report_format::text) {
            EXPECT_TRUE(row.file_option.empty());
            EXPECT_TRUE(row.file_help.empty());
            continue;
        }
        EXPECT_EQ(row.file_option, "--" + std::string(row.name));
        EXPECT_EQ(row.file_help.rfind("Also write the ", 0), 0u) << row.file_help;
    }
    // The order of the help and of the files written.
    std::string order;
    for (const report_format_row& row : report_formats()) {
        order += std::string(row.name) + " ";
    }
    EXPECT_EQ(order, "text json csv markdown html ");
}

// A row wired to another format's renderer would write the wrong document under the right name.
TEST(ReportFormatTable, EachRowRendersItsOwnFormat) {
    test::c_model_builder build;
    const usage_model& model = test::build_sample_model(build);
    const report_context context = test::json_context(model, "9.9");
    const auto rendered = [&context](report_format format) {
        std::ostringstream out;
        report_format_of(format).render(out, context);
        return out.str();
    };
    EXPECT_EQ(rendered(report_format::text).rfind(model.input.type + " map " + model.input.map, 0),
              0u);
    EXPECT_EQ(rendered(report_format::json).rfind(R"({"format":"tarvel-usage")", 0), 0u);
    EXPECT_EQ(rendered(report_format::csv).rfind("area,name,address,", 0), 0u);
    EXPECT_EQ(rendered(report_format::markdown).rfind("### Memory usage of ", 0), 0u);
    EXPECT_EQ(rendered(report_format::html).rfind("<!DOCTYPE html>", 0), 0u);
}

TEST(GroupBy, TheCommandLinesWordsAndTheBreakdownEachAsksFor) {
    for (const group_by grouping : {group_by::section, group_by::object, group_by::archive}) {
        EXPECT_EQ(parse_group_by(group_by_name(grouping)), grouping);
    }
    EXPECT_EQ(parse_group_by("Object"), std::nullopt);
    EXPECT_EQ(parse_group_by("search"), std::nullopt);
    EXPECT_EQ(parse_group_by(""), std::nullopt);
    EXPECT_EQ(breakdown_kind_of(group_by::section), std::nullopt);
    EXPECT_EQ(breakdown_kind_of(group_by::object), breakdown_kind::object);
    EXPECT_EQ(breakdown_kind_of(group_by::archive), breakdown_kind::archive);
}

}  // namespace
}  // namespace tarvel
