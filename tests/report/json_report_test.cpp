#include "report/json_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "analysis/usage_diff.h"
#include "support/report_contexts.h"
#include "support/sample_model.h"

namespace tarvel {
namespace {

std::string json_of(const usage_model& model) {
    std::ostringstream out;
    render_json_report(out, test::json_context(model, "9.9"));
    return out.str();
}

// The members before "eeprom" that every report of the sample model has.
const std::string sample_json =
    R"({"format":"tarvel-usage","version":1,)"
    R"("generator":{"program":"tarvel-report","version":"9.9"},)"
    R"("input":{"type":"Orca","detected":false,"definition":"t.def","map":"a.map","eep":null},)"
    R"("areas_from":"definition",)"
    R"("reader":{"lines_read":40,"entries_recognised":8,"entries_placed":5,)"
    R"("entries_unplaced":1,"entries_dropped":2,"dropped":[{"rule":"size 0","count":2}]},)"
    // 100 bytes and 10 bits: 101.25 bytes used, 154.75 free, each rounded.
    R"("ram":{"total":256,"used":101,"free":155,"used_percent":39.5,"bits":10},)"
    R"("rom":{"total":4096,"used":1224,"free":2872,"used_percent":29.9},)"
    R"("areas":[{"name":"Prg seg0","kind":"program","start":4096,"size":4096,"used":1224,)"
    R"("free":2872,"over":0,"used_percent":29.9,"bits":0,"entries":3,"kind_from":"definition"},)"
    R"({"name":"Ram seg0","kind":"ram","start":32768,"size":256,"used":101,"free":155,"over":0,)"
    R"("used_percent":39.5,"bits":10,"entries":2,"kind_from":"definition"},)"
    R"({"name":"Eep seg0","kind":"eeprom","start":57344,"size":128,"used":0,"free":128,"over":0,)"
    R"("used_percent":0.0,"bits":0,"entries":0,"kind_from":"definition"}],)"
    R"("searches":[{"search":"App ","bytes":1000,"percent":81.7},)"
    R"({"search":"|Os |App ","bytes":200,"percent":16.3}],)"
    R"("accounted":{"bytes":1200,"percent":98.0},)"
    R"("ambiguous":{"bytes":1000,"percent":81.7,"records":)"
    R"([{"name":"App_Main","search":"|Os |App ","earlier_search":"App "}]},)"
    "\"entries\":[\n"
    R"({"name":"App_Main","address":4096,"size":1000,"counted":1000,"area":"Prg seg0","search":"App "},)"
    "\n"
    R"({"name":"Os_Tick","address":5120,"size":200,"counted":200,"area":"Prg seg0","search":"|Os |App ",)"
    R"("object":"tick.o","archive":"libos.a"},)"
    "\n"
    R"({"name":"Lib\"x","address":5632,"size":24,"counted":24,"area":"Prg seg0","search":null,)"
    R"("object":"lib.o"},)"
    "\n"
    R"({"name":"buffer","address":32768,"size":100,"counted":100,"area":"Ram seg0","search":null},)"
    "\n"
    R"({"name":"flag","address":32896,"size":10,"counted":10,"area":"Ram seg0","search":null,"bit":true}],)"
    "\"unplaced\":[\n"
    R"({"name":"far","address":131072,"size":8,"counted":8}])";

// The model names the files of some entries: the bytes by file and by archive follow, the
// entries of no file in "(none)", largest first. Bits count in neither.
const std::string sample_breakdowns =
    R"j(,"breakdowns":{"object":[{"name":"(none)","program":1000,"ram":100},)j"
    R"j({"name":"libos.a(tick.o)","program":200,"ram":0},{"name":"lib.o","program":24,"ram":0}],)j"
    R"j("archive":[{"name":"(none)","program":1000,"ram":100},)j"
    R"j({"name":"libos.a","program":200,"ram":0},{"name":"lib.o","program":24,"ram":0}]})j";

TEST(JsonReport, SampleModelWithoutEeprom) {
    test::c_model_builder build;
    EXPECT_EQ(json_of(test::build_sample_model(build)), sample_json + sample_breakdowns + "}\n");
}

TEST(JsonReport, EepromUsageFollowsTheEntries) {
    test::c_model_builder build;
    usage_model& model = test::build_sample_model(build);
    model.input.eep = "EepPrj.src";
    model.input.detected = true;
    // Once 0x100 used and 0x300 free; triple 0x40 used and 0x80 free, one copy of three.
    model.eeprom = compute_eep_usage({0x100, 0x40, 0x300, 0x80});
    std::string expected = sample_json;
    const std::string input_before =
        R"("detected":false,"definition":"t.def","map":"a.map","eep":null)";
    expected.replace(expected.find(input_before), input_before.size(),
                     R"("detected":true,"definition":"t.def","map":"a.map","eep":"EepPrj.src")");
    expected += R"(,"eeprom":{"total":{"total":1600,"used":448,"free":1152,"used_percent":28.0},)"
                R"("once":{"total":1024,"used":256,"free":768,"used_percent":25.0},)"
                R"("triple":{"total":576,"used":192,"free":384,"used_percent":33.3}})" +
                sample_breakdowns + "}\n";
    EXPECT_EQ(json_of(model), expected);
}

TEST(JsonReport, EmptyModelAndMapRegionsAsAreas) {
    test::c_model_builder build;
    usage_model& model = build.done();
    model.input.type = "Puma";
    model.input.map = "C:\\out\\a.map";  // backslashes escaped
    EXPECT_EQ(json_of(model),
              R"({"format":"tarvel-usage","version":1,)"
              R"("generator":{"program":"tarvel-report","version":"9.9"},)"
              R"("input":{"type":"Puma","detected":false,"definition":null,)"
              R"("map":"C:\\out\\a.map","eep":null},)"
              R"("areas_from":"map",)"
              R"("reader":{"lines_read":0,"entries_recognised":0,"entries_placed":0,)"
              R"("entries_unplaced":0,"entries_dropped":0,"dropped":[]},)"
              R"("ram":{"total":0,"used":0,"free":0,"used_percent":0.0,"bits":0},)"
              R"("rom":{"total":0,"used":0,"free":0,"used_percent":0.0},"areas":[],)"
              R"("searches":[],"accounted":{"bytes":0,"percent":0.0},)"
              R"("ambiguous":{"bytes":0,"percent":0.0,"records":[]},"entries":[],"unplaced":[]})"
              "\n");
}

TEST(JsonReport, DiffAndBudgetsFollowWhenGiven) {
    test::c_model_builder build;
    usage_model& model = build.program(0, 0x100).search("a").entry("a1", 0, 16).done();
    usage_snapshot base;
    base.rom_used = 10;
    base.areas = {{"Prg seg0", 10}, {"Gone", 5}};
    base.searches = {{"a ", 0}};
    base.entries = {{"Prg seg0", "a1", 10}, {"Prg seg0", "old", 3}};
    const usage_snapshot current = snapshot_of(model);
    usage_diff diff = diff_usage(base, current);
    diff.base = "b.json";
    budget rom;
    rom.target = "ROM";
    rom.limit_text = "1KiB";
    rom.limit = {budget_limit::unit::bytes, 1024};
    budget growth;
    growth.kind = budget_kind::max_growth;
    growth.target = "a";
    growth.limit_text = "10%";
    growth.limit = {budget_limit::unit::percent, 10};
    const std::vector<budget_result> budgets{{rom, 1024, 16, false}, {growth, 0, 16, true}};

    std::ostringstream out;
    render_json_report(out, test::json_context(model, "9.9", &diff, &budgets));
    const std::string json = out.str();
    const std::string tail =
        R"("unplaced":[],"diff":{"base":"b.json",)"
        R"("ram":{"before":0,"after":0,"change":0,"change_percent":null},)"
        R"("rom":{"before":10,"after":16,"change":6,"change_percent":60.0},)"
        R"("areas":[{"name":"Prg seg0","before":10,"after":16,"change":6,"change_percent":60.0},)"
        R"({"name":"Gone","before":5,"after":0,"change":-5,"change_percent":-100.0}],)"
        R"("searches":[{"search":"a ","before":0,"after":16,"change":16,"change_percent":null}],)"
        R"("entries":[{"area":"Prg seg0","name":"a1","status":"grew","before":10,"after":16,)"
        R"("change":6,"change_percent":60.0},)"
        R"({"area":"Prg seg0","name":"old","status":"removed","before":3,"after":0,"change":-3,)"
        R"("change_percent":-100.0}]},)"
        R"("budgets":[{"target":"ROM","kind":"max","limit":"1KiB","limit_bytes":1024,)"
        R"("figure":16,"exceeded":false},)"
        R"({"target":"a","kind":"max-growth","limit":"10%","limit_bytes":0,"figure":16,)"
        R"("exceeded":true}]})"
        "\n";
    ASSERT_GE(json.size(), tail.size());
    EXPECT_EQ(json.substr(json.size() - tail.size()), tail);

    // No budget given: no member.
    const std::vector<budget_result> none;
    std::ostringstream without;
    render_json_report(without, test::json_context(model, "9.9", nullptr, &none));
    EXPECT_EQ(without.str().find("budgets"), std::string::npos);
    EXPECT_EQ(without.str().find("\"diff\""), std::string::npos);
}

TEST(JsonReport, OverfullAreaHasNegativeFreeBytes) {
    test::c_model_builder build;
    usage_model& model = build.program(0, 0x10).entry("big", 0, 0x10).done();
    model.areas[0].used = 0x30;  // no placement overfills an area, but sums may wrap
    model.rom.used_bytes = 0x30;
    const std::string json = json_of(model);
    EXPECT_NE(json.find(R"("rom":{"total":16,"used":48,"free":-32,"used_percent":300.0})"),
              std::string::npos)
        << json;
    EXPECT_NE(
        json.find(
            R"("used":48,"free":-32,"over":32,"used_percent":300.0,"bits":0,"entries":1,"kind_from":"definition"})"),
        std::string::npos)
        << json;
}

// The breakdown the run made for --by stands in for that kind's; the other is counted. Either
// way both are the ones of the model, in their own member.
TEST(JsonReport, TakesTheRunsBreakdownForItsKindOnly) {
    test::c_model_builder build;
    const usage_model& model = test::build_sample_model(build);
    for (const group_by grouping : {group_by::object, group_by::archive}) {
        const std::vector<breakdown_row> breakdown =
            breakdown_by(model, *breakdown_kind_of(grouping));
        report_context context = test::json_context(model, "9.9");
        context.grouping = grouping;
        context.breakdown = &breakdown;
        std::ostringstream out;
        render_json_report(out, context);
        EXPECT_EQ(out.str(), json_of(model)) << group_by_name(grouping);
    }
}

}  // namespace
}  // namespace tarvel
