// The JSON reports of tarvel-report are valid against docs/usage.schema.json, checked by a real
// Draft 2020-12 validator: Debian's python3-jsonschema, run by /usr/bin/python3. Where that is
// missing on Linux the test fails; the Windows build, run under Wine, has no Python to run.
#include <gtest/gtest.h>

#include <fstream>

#include "mapfile/map_formats.h"
#include "report/json_report.h"
#include "support/example_folder.h"
#include "support/random_maps.h"
#include "support/report_contexts.h"
#include "support/report_run.h"
#include "support/sample_model.h"

namespace tarvel::test {
namespace {

const std::string schema_path = std::string(TARVEL_SOURCE_DIR) + "/docs/usage.schema.json";
const std::string validator_path =
    std::string(TARVEL_SOURCE_DIR) + "/tests/support/validate_usage_schema.py";

// Runs the validator over `reports` (paths in `dir`).
process_result validate(const c_temp_dir& dir, const std::vector<std::string>& reports) {
    std::vector<std::string> arguments{"-I", validator_path, schema_path};
    arguments.insert(arguments.end(), reports.begin(), reports.end());
    return run_program("/usr/bin/python3", arguments, dir.path());
}

class UsageSchema : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the validator runs on the Linux host, not under Wine";
#endif
    }

    // Runs tarvel-report with `arguments` and expects a report in `file`.
    void report(const std::string& file, std::vector<std::string> arguments,
                int expected_exit = 0) {
        arguments.insert(arguments.end(), {"--json", file});
        const process_result result = run_report(dir, arguments);
        EXPECT_EQ(result.exit_code, expected_exit) << file << ": " << result.error_output;
        reports.push_back(file);
    }

    c_temp_dir dir;
    std::vector<std::string> reports;
};

TEST_F(UsageSchema, EveryReportIsValid) {
    for (const map_format& format : map_formats()) {
        const std::string folder = example_folder(format.keyword);
        copy_example(dir, folder);
        const std::string path = folder + "/";
        report(folder + ".json", {"--type", std::string(format.keyword), "--def",
                                  path + "target.def", "--map", path + "application.map"});
    }
    // The optional members: EEPROM usage, the diff, budgets of both kinds, one exceeded.
    copy_example(dir, "eep");
    report("puma_next.json",
           {"--type", "Puma", "--def", "puma/target.def", "--map", "puma/next.map", "--eep",
            "eep/EepPrj.src", "--diff", "puma.json", "--max", "ROM=90%", "--max", "Prg seg0=1KiB",
            "--max-growth", "RAM=5%", "--max-growth", "text !DFALib !EEELib=0"},
           1);
    // Figures beyond 32 bits: a base whose ROM used more than 4 GiB (a base may hold any figure
    // up to 2^63 - 1), and a limit of 5 GB.
    std::string base = dir.read("puma.json");
    const std::size_t used = base.find("\"used\":", base.find("\"rom\":{")) + 7;
    base.replace(used, base.find(',', used) - used, "5000000000000");
    dir.write("huge_base.json", base);
    report("puma_huge.json",
           {"--type", "Puma", "--def", "puma/target.def", "--map", "puma/next.map", "--diff",
            "huge_base.json", "--max", "ROM=5GB", "--max-growth", "ROM=0"});
    EXPECT_NE(dir.read("puma_huge.json").find("\"limit_bytes\":5000000000"), std::string::npos);
    EXPECT_NE(dir.read("puma_huge.json").find("\"before\":5000000000000"), std::string::npos);
    // Entries in no area and bit variables, areas overfull through reserved ranges.
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        const generated_input input = random_orca_input(seed);
        const std::string stem = "orca_random_" + std::to_string(seed);
        dir.write(stem + ".def", input.definition);
        dir.write(stem + ".map", input.map);
        report(stem + ".json", {"--type", "Orca", "--def", stem + ".def", "--map", stem + ".map"});
    }
    // A GNU map's own regions as areas (no definition), and the breakdowns of its origins.
    report("gnu_regions.json", {"--map", "gnu/application.map", "--by", "archive"});
    // A model with origins of every kind, in an object file and in an archive member: the
    // renderer's own report of it.
    test::c_model_builder build;
    {
        std::ofstream out(dir.path() / "origins.json", std::ios::binary);
        render_json_report(out, test::json_context(test::build_sample_model(build), "0"));
    }
    reports.push_back("origins.json");

    const process_result result = validate(dir, reports);
    EXPECT_EQ(result.exit_code, 0) << result.output << result.error_output;
    std::string expected;
    for (const std::string& file : reports) {
        expected += file + ": valid\n";
    }
    EXPECT_EQ(result.output, expected) << result.error_output;
    for (const char* member : {"\"eeprom\"", "\"diff\"", "\"budgets\""}) {
        EXPECT_NE(dir.read("puma_next.json").find(member), std::string::npos) << member;
    }
    for (const char* member : {"\"definition\":null", "\"breakdowns\"", "\"archive\":"}) {
        EXPECT_NE(dir.read("gnu_regions.json").find(member), std::string::npos) << member;
    }
}

TEST_F(UsageSchema, TheValidatorRefusesAReportThatBreaksTheSchema) {
    // Without this, a validator that accepted everything would pass the test above.
    write_small_puma_input(dir);
    report("good.json", small_puma_arguments);
    std::string json = dir.read("good.json");
    json.replace(json.find(R"("used":1040)"), 11, R"("used":-1)");
    dir.write("bad.json", json);
    dir.write("extra.json", dir.read("good.json").insert(1, R"("unknown":1,)"));
    const process_result result = validate(dir, {"good.json", "bad.json", "extra.json"});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.output.find("good.json: valid\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("bad.json: rom/used: -1 is less than the minimum of 0"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("extra.json: (the report): Additional properties are not "
                                 "allowed ('unknown' was unexpected)"),
              std::string::npos)
        << result.output;
}

}  // namespace
}  // namespace tarvel::test
