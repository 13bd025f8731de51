// Every byte figure of tarvel-report's JSON equals the figure tarvel's text report prints for
// the same input, and the CSV's rows add up to the areas' used bytes: on the bundled examples
// and on random inputs of every map type.
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "mapfile/map_formats.h"
#include "support/example_folder.h"
#include "support/memory_report_figures.h"
#include "support/random_maps.h"
#include "support/report_run.h"

namespace tarvel::test {
namespace {

using nlohmann::json;

// The records of a CSV text (RFC 4180 quoting; CR LF or LF between records).
std::vector<std::vector<std::string>> csv_records(const std::string& text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                records.back().back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                records.back().back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\n') {
            records.emplace_back(1);
        } else if (c != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') {
            records.back().back() += c;
        }
    }
    EXPECT_FALSE(quoted) << "a quoted field runs to the end";
    EXPECT_EQ(records.back(), std::vector<std::string>(1)) << "no line end after the last row";
    records.pop_back();
    return records;
}

// Compares the JSON report with tarvel's text report figure by figure.
void expect_json_matches_text(const json& report, const memory_report_figures& text) {
    for (const auto& [name, total] : {std::pair{"ram", &text.ram}, std::pair{"rom", &text.rom}}) {
        EXPECT_EQ(report.at(name).at("total"), total->total) << name;
        EXPECT_EQ(report.at(name).at("used"), total->used) << name;
        EXPECT_EQ(report.at(name).at("free"), total->free) << name;
    }
    std::vector<json> program_areas;
    for (const json& area : report.at("areas")) {
        if (area.at("kind") == "program") {
            program_areas.push_back(area);
        }
    }
    ASSERT_EQ(program_areas.size(), text.program_areas.size());
    for (std::size_t i = 0; i < program_areas.size(); ++i) {
        const report_area_line& line = text.program_areas[i];
        EXPECT_EQ(program_areas[i].at("name"), line.name);
        EXPECT_EQ(program_areas[i].at("used"), line.used) << line.name;
        EXPECT_EQ(program_areas[i].at("free"), line.free) << line.name;
        EXPECT_EQ(program_areas[i].at("size"), line.total) << line.name;
    }
    const json& searches = report.at("searches");
    ASSERT_EQ(searches.size(), text.searches.size());
    for (std::size_t i = 0; i < searches.size(); ++i) {
        EXPECT_EQ(searches[i].at("search"), text.searches[i].text);
        EXPECT_EQ(searches[i].at("bytes"), text.searches[i].bytes) << text.searches[i].text;
    }
    if (!text.searches.empty()) {
        EXPECT_EQ(report.at("accounted").at("bytes"), text.accounted);
        EXPECT_EQ(report.at("ambiguous").at("bytes"), text.ambiguous);
    }
}

// The CSV lists every placed entry once: its counted byte rows add up to each area's used
// bytes without the bits, and its bit rows to the area's bits; no entry counts more than the
// map lists for it.
void expect_csv_adds_up(const std::string& csv, const json& report) {
    const std::vector<std::vector<std::string>> records = csv_records(csv);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records[0], (std::vector<std::string>{"area", "name", "address", "size", "counted",
                                                    "unit", "search", "object", "archive"}));
    std::map<std::string, std::int64_t> bytes;
    std::map<std::string, std::int64_t> bits;
    std::map<std::string, std::size_t> rows;
    for (std::size_t i = 1; i < records.size(); ++i) {
        ASSERT_EQ(records[i].size(), 9u) << "row " << i;
        const std::string& unit = records[i][5];
        ASSERT_TRUE(unit == "byte" || unit == "bit") << unit;
        EXPECT_LE(std::stoll(records[i][4]), std::stoll(records[i][3])) << "row " << i;
        (unit == "byte" ? bytes : bits)[records[i][0]] += std::stoll(records[i][4]);
        ++rows[records[i][0]];
    }
    std::size_t entries = 0;
    for (const json& area : report.at("areas")) {
        const std::string name = area.at("name");
        const std::int64_t area_bits = area.at("bits");
        EXPECT_EQ(bytes[name], area.at("used").get<std::int64_t>() - (area_bits + 4) / 8) << name;
        EXPECT_EQ(bits[name], area_bits) << name;
        EXPECT_EQ(rows[name], area.at("entries").get<std::size_t>()) << name;
        entries += area.at("entries").get<std::size_t>();
    }
    EXPECT_EQ(records.size() - 1, entries);
    EXPECT_EQ(report.at("entries").size(), entries);
}

// Runs both programs on `type`, `definition` and `map` (paths in `dir`) and compares. False
// when the input gave no report.
bool compare_reports(const c_temp_dir& dir, const std::string& type, const std::string& definition,
                     const std::string& map) {
    const process_result text =
        run_program(tarvel_executable(), {type, definition, map}, dir.path());
    const process_result report =
        run_report(dir, {"--type", type, "--def", definition, "--map", map, "--format", "json",
                         "--csv", "entries.csv"});
    const memory_report_figures figures = read_memory_report(text.output);
    if (!figures.found) {
        // tarvel ends without a report when nothing lies in an area; tarvel-report says so.
        EXPECT_EQ(text.exit_code, 0) << text.output;
        EXPECT_EQ(report.exit_code, 4) << report.error_output;
        return false;
    }
    EXPECT_EQ(text.exit_code, 0) << text.output;
    EXPECT_EQ(report.exit_code, 0) << report.error_output;
    if (report.exit_code != 0) {
        return false;
    }
    const json parsed = json::parse(report.output);
    expect_json_matches_text(parsed, figures);
    expect_csv_adds_up(dir.read("entries.csv"), parsed);
    return true;
}

// Every format of the registry, with its example in examples/<keyword in lower case>/.
class BundledExampleConsistency : public ::testing::TestWithParam<map_format> {};

TEST_P(BundledExampleConsistency, JsonAndCsvAgreeWithTheTextReport) {
    const c_temp_dir dir;
    const std::string folder = example_folder(GetParam().keyword);
    copy_example(dir, folder);
    EXPECT_TRUE(compare_reports(dir, std::string(GetParam().keyword), folder + "/target.def",
                                folder + "/application.map"));
}

INSTANTIATE_TEST_SUITE_P(Examples, BundledExampleConsistency,
                         ::testing::ValuesIn(map_formats().begin(), map_formats().end()),
                         [](const auto& info) { return example_folder(info.param.keyword); });

// Random inputs of one type, several seeds a test so that each test stays short under Wine.
class RandomInputConsistency : public ::testing::TestWithParam<std::string> {};

// The formats that random_input makes no maps of: their readers are compared on the bundled
// example above and tested on strings of their own.
bool compared_on_example_only(const std::string& type) {
    return type == "Gnu" || type == "Otter" || type == "Armlink" || type == "Iar" || type == "Ti";
}

TEST_P(RandomInputConsistency, JsonAndCsvAgreeWithTheTextReport) {
    if (!has_random_input(GetParam())) {
        // A new format needs random maps, or its place in the list above.
        ASSERT_TRUE(compared_on_example_only(GetParam()))
            << "no random maps of the format " << GetParam();
        GTEST_SKIP() << GetParam() << " is compared on its bundled example";
    }
    constexpr std::uint64_t inputs = 12;
    std::uint64_t reported = 0;
    // Types of equal length get seeds of their own.
    std::uint64_t type_number = 0;
    for (const char c : GetParam()) {
        type_number = type_number * 131 + static_cast<unsigned char>(c);
    }
    for (std::uint64_t seed = 1; seed <= inputs; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const c_temp_dir dir;
        const generated_input input = random_input(GetParam(), seed * 7919 + type_number);
        dir.write("t.def", input.definition);
        dir.write("a.map", input.map);
        if (compare_reports(dir, GetParam(), "t.def", "a.map")) {
            ++reported;
        }
        if (HasFailure()) {
            ADD_FAILURE() << "definition:\n" << input.definition << "map:\n" << input.map;
            break;
        }
    }
    // Most inputs place something; otherwise the comparison would say little.
    EXPECT_GE(reported, inputs * 3 / 4);
}

std::vector<std::string> registry_keywords() {
    std::vector<std::string> keywords;
    for (const map_format& format : map_formats()) {
        keywords.emplace_back(format.keyword);
    }
    return keywords;
}

INSTANTIATE_TEST_SUITE_P(EveryType, RandomInputConsistency,
                         ::testing::ValuesIn(registry_keywords()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tarvel::test
