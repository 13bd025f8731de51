#include "app/report_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tarvel {
namespace {

options_status parse(const std::vector<std::string>& more, report_options& options,
                     std::string* error = nullptr) {
    std::vector<std::string> words{"tarvel-report", "--map", "a.map"};
    words.insert(words.end(), more.begin(), more.end());
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    const options_status status =
        parse_report_options(static_cast<int>(argv.size()), argv.data(), options, out, err);
    if (error != nullptr) {
        *error = err.str();
    }
    return status;
}

TEST(ReportOptions, EachFileOptionWritesItsFormatInTheTablesOrder) {
    report_options options;
    ASSERT_EQ(parse({"--html", "r.html", "--format", "markdown", "--csv", "r.csv", "--json",
                     "r.json", "--markdown", "r.md"},
                    options),
              options_status::run);
    EXPECT_EQ(options.format, report_format::markdown);
    ASSERT_EQ(options.files.size(), 4u);
    const std::pair<report_format, const char*> expected[] = {{report_format::json, "r.json"},
                                                              {report_format::csv, "r.csv"},
                                                              {report_format::markdown, "r.md"},
                                                              {report_format::html, "r.html"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(options.files[i].format, expected[i].first) << i;
        EXPECT_EQ(options.files[i].path, expected[i].second) << i;
    }
    report_options plain;
    ASSERT_EQ(parse({}, plain), options_status::run);
    EXPECT_EQ(plain.format, report_format::text);
    EXPECT_TRUE(plain.files.empty());

    std::string error;
    report_options empty;
    EXPECT_EQ(parse({"--markdown", ""}, empty, &error), options_status::error);
    EXPECT_EQ(error, "tarvel-report: --markdown: the file name is empty\n");
}

TEST(ReportOptions, ByAndTypeAreReadOnce) {
    for (const group_by grouping : {group_by::section, group_by::object, group_by::archive}) {
        report_options options;
        ASSERT_EQ(parse({"--by", group_by_name(grouping)}, options), options_status::run);
        EXPECT_EQ(options.grouping, grouping);
    }
    report_options wrong;
    EXPECT_EQ(parse({"--by", "file"}, wrong), options_status::error);

    report_options automatic;
    ASSERT_EQ(parse({}, automatic), options_status::run);
    EXPECT_TRUE(automatic.type.automatic);
    EXPECT_EQ(automatic.type.format, nullptr);
    report_options named;
    ASSERT_EQ(parse({"--type", "Gnu"}, named), options_status::run);
    EXPECT_FALSE(named.type.automatic);
    ASSERT_NE(named.type.format, nullptr);
    EXPECT_EQ(named.type.format->keyword, "Gnu");
    // A word no reader has is kept for the analysis to refuse once the inputs are found.
    report_options unknown;
    ASSERT_EQ(parse({"--type", "gnu"}, unknown), options_status::run);
    EXPECT_FALSE(unknown.type.automatic);
    EXPECT_EQ(unknown.type.format, nullptr);
    EXPECT_EQ(unknown.type.name, "gnu");
}

}  // namespace
}  // namespace tarvel
