// End-to-end tests of every map type given every bundled example: a map of another format
// ends with exit code 4 and a message naming the map, unless the type legitimately reads the
// other format's lines (the section maps share their layout), when it gives a report with
// entries. No pair crashes or ends with 0 and nothing. --type auto finds each example's own.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <string>

#include "mapfile/map_formats.h"
#include "support/example_folder.h"
#include "support/report_run.h"

namespace tarvel::test {
namespace {

struct example_map {
    std::string folder;
    std::string map;   // under the folder
    std::string type;  // its own type
};

// The example of every format of the registry, and the second Puma map.
std::vector<example_map> examples() {
    std::vector<example_map> all;
    for (const map_format& format : map_formats()) {
        all.push_back(
            {example_folder(format.keyword), "application.map", std::string(format.keyword)});
    }
    all.push_back({"puma", "next.map", "Puma"});
    return all;
}

// The four section-map types read one layout, each with its own names: a map of one gives
// the others the sections whose names they know.
bool section_map_type(const std::string& type) {
    return type == "Puma" || type == "Ibex" || type == "Wren" || type == "Puma_mem32_unlimited";
}

bool reads(const std::string& type, const std::string& map_type) {
    return type == map_type || (section_map_type(type) && section_map_type(map_type));
}

// Puma_mem32_unlimited takes any name of letters, digits, "_" and "." as a section: lines of
// figures in armlink's component sizes and TI's segment allocation map read as section lines
// to it. It ends like a run of any map, with a report or without an entry in the areas.
bool misreads(const std::string& type, const std::string& map_type) {
    return type == "Puma_mem32_unlimited" && (map_type == "Armlink" || map_type == "Ti");
}

std::size_t line_count(const c_temp_dir& dir, const std::string& path) {
    const std::string text = dir.read(path);
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

class ReportTypeMatrix : public ::testing::Test {
  protected:
    ReportTypeMatrix() {
        for (const map_format& format : map_formats()) {
            copy_example(dir, example_folder(format.keyword));
        }
    }

    c_temp_dir dir;
};

TEST_F(ReportTypeMatrix, EveryTypeOnEveryExample) {
    for (const example_map& example : examples()) {
        const std::string map = example.folder + "/" + example.map;
        const std::string definition = example.folder + "/target.def";
        for (const map_format& format : map_formats()) {
            const std::string type(format.keyword);
            const std::string pair = type + " on " + map;
            const process_result result = run_report(
                dir, {"--type", type, "--def", definition, "--map", map, "--format", "json"});
            if (misreads(type, example.type)) {
                EXPECT_TRUE(result.exit_code == 0 || result.exit_code == 4) << pair;
                continue;
            }
            if (reads(type, example.type)) {
                ASSERT_EQ(result.exit_code, 0) << pair << "\n" << result.error_output;
                EXPECT_EQ(result.error_output, "") << pair;
                const nlohmann::json report = nlohmann::json::parse(result.output);
                EXPECT_EQ(report.at("input").at("type"), type) << pair;
                EXPECT_FALSE(report.at("entries").empty()) << pair;
                EXPECT_GT(report.at("rom").at("used").get<long long>(), 0) << pair;
                continue;
            }
            // A listing map is known by its first line; the other readers read the whole map.
            const std::size_t lines = type == "Orca" ? 1 : line_count(dir, map);
            EXPECT_EQ(result.exit_code, 4) << pair;
            EXPECT_EQ(result.output, "") << pair;
            if (type == "Puma_mem32_unlimited" && example.type == "Lld") {
                // lld's rows take any name: they match its section-line pattern, the alignment
                // standing for an address.
                EXPECT_NE(result.error_output.find("lies in a defined area"), std::string::npos)
                    << pair << "\n"
                    << result.error_output;
            } else {
                EXPECT_EQ(
                    result.error_output,
                    native_lines("tarvel-report: the map '" + map +
                                 "' holds no entry of the type " + type + ": " +
                                 std::to_string(lines) + (lines == 1 ? " line" : " lines") +
                                 " read, none recognised.\n"
                                 "Hint: is the type right? (--type auto finds the format from "
                                 "the map.)\n"))
                    << pair;
            }
            // tarvel reads with the same readers: it ends as a run of a map without entries.
            const process_result tarvel =
                run_program(tarvel_executable(), {type, definition, map}, dir.path());
            EXPECT_EQ(tarvel.exit_code, 0) << pair;
            EXPECT_EQ(tarvel.output, native_lines(banner_text())) << pair;
        }
    }
}

TEST_F(ReportTypeMatrix, AutoFindsEachExamplesOwnType) {
    for (const example_map& example : examples()) {
        const std::string map = example.folder + "/" + example.map;
        const process_result result = run_report(
            dir, {"--def", example.folder + "/target.def", "--map", map, "--format", "json"});
        ASSERT_EQ(result.exit_code, 0) << map << "\n" << result.error_output;
        const nlohmann::json report = nlohmann::json::parse(result.output);
        EXPECT_EQ(report.at("input").at("type"), example.type) << map;
        EXPECT_EQ(report.at("input").at("detected"), true) << map;
        // The same report as with the type given.
        const process_result given =
            run_report(dir, {"--type", example.type, "--def", example.folder + "/target.def",
                             "--map", map, "--format", "json"});
        nlohmann::json given_report = nlohmann::json::parse(given.output);
        given_report["input"]["detected"] = true;
        EXPECT_EQ(report, given_report) << map;
    }
}

}  // namespace
}  // namespace tarvel::test
