#include "analysis/base_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "report/json_report.h"
#include "support/report_contexts.h"
#include "support/sample_model.h"

namespace tarvel {
namespace {

std::string sample_report() {
    test::c_model_builder build;
    std::ostringstream out;
    render_json_report(out, test::json_context(test::build_sample_model(build), "9.9"));
    return out.str();
}

// The reason the text is refused; fails the test when it is read.
std::string refusal(std::string_view text) {
    const c_result<usage_snapshot> result = read_base_report(std::string(text));
    EXPECT_FALSE(result.ok()) << text;
    return result.ok() ? std::string() : result.error().what;
}

usage_snapshot read(std::string_view text) {
    c_result<usage_snapshot> snapshot = read_base_report(std::string(text));
    EXPECT_TRUE(snapshot.ok()) << snapshot.error().what;
    return snapshot ? std::move(snapshot).value() : usage_snapshot{};
}

// The text with the first `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A minimal report of version 1: what a comparison reads, and nothing else.
const std::string minimal =
    R"({"format":"tarvel-usage","version":1,"ram":{"used":5},"rom":{"used":7},)"
    R"("areas":[{"name":"A","used":3}],"searches":[{"search":"s ","bytes":2}],)"
    R"("entries":[{"area":"A","name":"e","size":3}]})";

void expect_equal(const usage_snapshot& a, const usage_snapshot& b) {
    EXPECT_EQ(a.ram_used, b.ram_used);
    EXPECT_EQ(a.rom_used, b.rom_used);
    ASSERT_EQ(a.areas.size(), b.areas.size());
    for (std::size_t i = 0; i < a.areas.size(); ++i) {
        EXPECT_EQ(a.areas[i].label, b.areas[i].label);
        EXPECT_EQ(a.areas[i].bytes, b.areas[i].bytes);
    }
    ASSERT_EQ(a.searches.size(), b.searches.size());
    for (std::size_t i = 0; i < a.searches.size(); ++i) {
        EXPECT_EQ(a.searches[i].label, b.searches[i].label);
        EXPECT_EQ(a.searches[i].bytes, b.searches[i].bytes);
    }
    ASSERT_EQ(a.entries.size(), b.entries.size());
    for (std::size_t i = 0; i < a.entries.size(); ++i) {
        EXPECT_EQ(a.entries[i].area, b.entries[i].area);
        EXPECT_EQ(a.entries[i].name, b.entries[i].name);
        EXPECT_EQ(a.entries[i].size, b.entries[i].size);
    }
}

TEST(BaseReport, AReportOfThisProgramReadsBackAsItsSnapshot) {
    test::c_model_builder build;
    usage_model& model = test::build_sample_model(build);
    // Names that need escapes and bytes that are no UTF-8 survive the round trip.
    std::ostringstream out;
    render_json_report(out, test::json_context(model, "9.9"));
    expect_equal(read(out.str()), snapshot_of(model));
    EXPECT_EQ(read(out.str()).entries[2].name, "Lib\"x");
}

TEST(BaseReport, EscapedNamesAndMembersInAnyOrderOrNesting) {
    const usage_snapshot snapshot =
        read(R"({"entries":[{"size":3,"name":"a\"\u00e9\\","area":"A","extra":{"size":"x"}}],)"
             R"("areas":[],"searches":[],"other":[{"ram":{"used":"no"}}],)"
             R"("rom":{"used":7,"free":-1},"ram":{"total":9,"used":5},)"
             R"("version":1,"format":"tarvel-usage"})");
    EXPECT_EQ(snapshot.ram_used, 5);
    EXPECT_EQ(snapshot.rom_used, 7);
    ASSERT_EQ(snapshot.entries.size(), 1u);
    EXPECT_EQ(snapshot.entries[0].name, "a\"\xC3\xA9\\");
    EXPECT_EQ(snapshot.entries[0].size, 3);
    expect_equal(read(minimal), read(minimal + "\n\n"));
}

TEST(BaseReport, TextThatIsNoJsonOrIsCutShort) {
    EXPECT_EQ(refusal("").rfind("is not valid JSON (at byte 0: ", 0), 0u) << refusal("");
    EXPECT_EQ(refusal("area,name\n").rfind("is not valid JSON (at byte 0: ", 0), 0u);
    const std::string report = sample_report();
    const std::string cut = report.substr(0, report.size() / 2);
    EXPECT_EQ(refusal(cut).rfind("is not valid JSON (at byte " + std::to_string(cut.size()) +
                                     ", the end of the file: ",
                                 0),
              0u)
        << refusal(cut);
    EXPECT_EQ(refusal(minimal + "}").rfind("is not valid JSON (at byte ", 0), 0u);
    EXPECT_EQ(refusal(std::string(minimal).insert(10, 1, '\0')).rfind("is not valid JSON", 0), 0u);
}

TEST(BaseReport, JsonThatIsNoObjectIsNoReport) {
    for (const char* text :
         {"42", "\"tarvel-usage\"", "null", "true", "[]", "[1,{\"a\":2}]", "-1.5", "{}"}) {
        EXPECT_EQ(refusal(text), "is not a tarvel-usage report of tarvel-report") << text;
    }
}

TEST(BaseReport, AnotherFormatOrVersion) {
    const std::string not_ours = "is not a tarvel-usage report of tarvel-report";
    EXPECT_EQ(refusal(replaced(minimal, "tarvel-usage", "other-usage")), not_ours);
    EXPECT_EQ(refusal(replaced(minimal, R"("format":"tarvel-usage",)", "")), not_ours);
    EXPECT_EQ(refusal(replaced(minimal, R"("tarvel-usage")", "1")), not_ours);
    EXPECT_EQ(refusal(replaced(minimal, R"("format":"tarvel-usage",)",
                               R"("generator":{"format":"tarvel-usage"},)")),
              not_ours);
    EXPECT_EQ(refusal(replaced(minimal, R"("version":1)", R"("version":2)")),
              "is a report of version 2; this program compares with version 1");
    EXPECT_EQ(refusal(replaced(minimal, R"("version":1)", R"("version":"1")")),
              "is a report of version \"1\"; this program compares with version 1");
    EXPECT_EQ(refusal(replaced(minimal, R"("version":1,)", "")),
              "has no integer \"version\"; this program compares with version 1");
    EXPECT_EQ(refusal(replaced(minimal, R"("version":1)", R"("version":1.0)")),
              "has no integer \"version\"; this program compares with version 1");
    EXPECT_EQ(refusal(replaced(minimal, R"("version":1)", R"("version":18446744073709551615)")),
              "is a report of version 18446744073709551615; this program compares with version 1");
}

TEST(BaseReport, AMissingFigureIsNamed) {
    const std::string lacks = "lacks what a comparison needs: ";
    EXPECT_EQ(refusal(replaced(minimal, R"("ram":{"used":5},)", "")),
              lacks + "\"ram\" has no integer \"used\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("rom":{"used":7},)", R"("rom":{},)")),
              lacks + "\"rom\" has no integer \"used\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("areas":[{"name":"A","used":3}],)", "")),
              lacks + "the report has no array \"areas\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("searches":[{"search":"s ","bytes":2}],)", "")),
              lacks + "the report has no array \"searches\"");
    EXPECT_EQ(refusal(replaced(minimal, R"(,"entries":[{"area":"A","name":"e","size":3}])", "")),
              lacks + "the report has no array \"entries\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("used":3)", R"("size":3)")),
              lacks + "areas[0] lacks \"used\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("search":"s ",)", "")),
              lacks + "searches[0] lacks \"search\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("area":"A",)", "")),
              lacks + "entries[0] lacks \"area\"");
    EXPECT_EQ(refusal(replaced(minimal, R"("name":"e",)", "")),
              lacks + "entries[0] lacks \"name\"");
    EXPECT_EQ(refusal(replaced(minimal, R"(,"size":3)", "")), lacks + "entries[0] lacks \"size\"");
    // The position counts the entries before it.
    EXPECT_EQ(refusal(replaced(minimal, R"([{"area":"A","name":"e","size":3}])",
                               R"([{"area":"A","name":"e","size":3},{"area":"A","name":"f"}])")),
              lacks + "entries[1] lacks \"size\"");
}

TEST(BaseReport, FiguresMustBeIntegersOfAtMost64Bits) {
    const std::string lacks = "lacks what a comparison needs: ";
    const std::string beyond = "18446744073709551616";  // 2^64
    EXPECT_EQ(refusal(replaced(minimal, R"("used":5)", R"("used":)" + beyond)),
              lacks + "ram.\"used\" is not an integer of at most 64 bits");
    EXPECT_EQ(refusal(replaced(minimal, R"("used":7)", R"("used":7.0)")),
              lacks + "rom.\"used\" is not an integer of at most 64 bits");
    EXPECT_EQ(refusal(replaced(minimal, R"("used":3)", R"("used":3.5)")),
              lacks + "areas[0].\"used\" is not an integer of at most 64 bits");
    EXPECT_EQ(refusal(replaced(minimal, R"("bytes":2)", R"("bytes":"2")")),
              lacks + "searches[0].\"bytes\" is not an integer of at most 64 bits");
    EXPECT_EQ(refusal(replaced(minimal, R"("size":3)", R"("size":1e3)")),
              lacks + "entries[0].\"size\" is not an integer of at most 64 bits");
    EXPECT_EQ(refusal(replaced(minimal, R"("size":3)", R"("size":null)")),
              lacks + "entries[0].\"size\" is not an integer of at most 64 bits");
    EXPECT_EQ(refusal(replaced(minimal, R"("name":"e")", R"("name":5)")),
              lacks + "entries[0].\"name\" is not a string");
    EXPECT_EQ(refusal(replaced(minimal, R"("name":"A")", R"("name":null)")),
              lacks + "areas[0].\"name\" is not a string");
    // Byte figures run from 0 to 2^63 - 1; beyond either end the file is no report of this
    // program (which a diff must not take for one, with figures nobody measured).
    EXPECT_EQ(read(replaced(minimal, R"("used":5)", R"("used":9223372036854775807)")).ram_used,
              INT64_MAX);
    const std::string not_ours = "is not a report of tarvel-report: ";
    EXPECT_EQ(refusal(replaced(minimal, R"("used":5)", R"("used":-5)")),
              not_ours + "ram.\"used\" is negative (-5)");
    EXPECT_EQ(refusal(replaced(minimal, R"("used":5)", R"("used":18446744073709551615)")),
              not_ours +
                  "ram.\"used\" is 18446744073709551615, more than a byte figure can be "
                  "(2^63 - 1)");
    EXPECT_EQ(refusal(replaced(minimal, R"("used":3)", R"("used":9223372036854775808)")),
              not_ours +
                  "areas[0].\"used\" is 9223372036854775808, more than a byte figure can "
                  "be (2^63 - 1)");
    EXPECT_EQ(refusal(replaced(minimal, R"("bytes":2)", R"("bytes":-9223372036854775808)")),
              not_ours + "searches[0].\"bytes\" is negative (-9223372036854775808)");
    EXPECT_EQ(refusal(replaced(minimal, R"("size":3)", R"("size":-1)")),
              not_ours + "entries[0].\"size\" is negative (-1)");
    // Where the diff does not look, any number is left alone.
    EXPECT_EQ(read(replaced(minimal, R"("used":7})", R"("used":7,"free":-18446744073709551615})"))
                  .rom_used,
              7);
}

TEST(BaseReport, AMemberTheDiffReadsMayAppearOnlyOnce) {
    // JSON leaves duplicate names to the reader; which of two figures counts would be a guess.
    const std::string not_ours = "is not a report of tarvel-report: ";
    EXPECT_EQ(refusal(replaced(minimal, R"("ram":{"used":5})", R"("ram":{"used":5,"used":6})")),
              not_ours + "ram.\"used\" appears twice");
    EXPECT_EQ(refusal(replaced(minimal, R"("entries":[)",
                               R"("entries":[{"area":"B","name":"x","size":1}],"entries":[)")),
              not_ours + "\"entries\" appears twice");
    EXPECT_EQ(refusal(replaced(minimal, R"("rom":{"used":7},)", R"("rom":{},"rom":{"used":7},)")),
              not_ours + "\"rom\" appears twice");
    EXPECT_EQ(refusal(replaced(minimal, R"("version":1)", R"("version":1,"version":3)")),
              not_ours + "\"version\" appears twice");
    EXPECT_EQ(refusal(replaced(minimal, R"("name":"e")", R"("name":"e","name":"f")")),
              not_ours + "entries[0].\"name\" appears twice");
    EXPECT_EQ(refusal(replaced(minimal, R"("bytes":2)", R"("bytes":2,"bytes":2)")),
              not_ours + "searches[0].\"bytes\" appears twice");
    // Each object has its own members: the same name in the next entry, or a member the diff
    // does not read given twice, is no repetition.
    const usage_snapshot snapshot =
        read(replaced(minimal, R"([{"area":"A","name":"e","size":3}])",
                      R"([{"area":"A","name":"e","size":3,"x":1,"x":2},{"area":"A","name":"f",)"
                      R"("size":4}])"));
    ASSERT_EQ(snapshot.entries.size(), 2u);
    EXPECT_EQ(snapshot.entries[1].size, 4);
}

// `depth` levels of arrays, or of objects each one member "k" deep, closed again when `closed`.
std::string nested(std::size_t depth, bool objects, bool closed = true) {
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) {
        text += objects ? "{\"k\":" : "[";
    }
    text += "0";
    if (closed) {
        text.append(depth, objects ? '}' : ']');
    }
    return text;
}

std::string too_deep_at(std::size_t byte) {
    return "nests deeper than a report can (depth 65 at byte " + std::to_string(byte) +
           "; this program reads 64 levels at most)";
}

TEST(BaseReport, NestingBeyondTheLimitIsRefusedAtItsFirstBracket) {
    static_assert(max_report_depth == 64);
    // 64 levels are read (and are no report); the 65th bracket stops the reading.
    EXPECT_EQ(refusal(nested(64, false)), "is not a tarvel-usage report of tarvel-report");
    EXPECT_EQ(refusal(nested(65, false)), too_deep_at(64));
    EXPECT_EQ(refusal(nested(65, true)), too_deep_at(64 * 5));
    // Depths that once ran a recursive reader out of stack, closed or cut short: the limit
    // comes first, before the end of the file or the kind of JSON.
    EXPECT_EQ(refusal(nested(100000, false)), too_deep_at(64));
    EXPECT_EQ(refusal(nested(1000000, true, false)), too_deep_at(64 * 5));
    // Inside a report, in a member the diff skips: the levels count from the report object.
    const std::string head = R"({"format":"tarvel-usage","version":1,"x":)";
    EXPECT_EQ(refusal(head + nested(100000, false) + "}"), too_deep_at(head.size() + 63));
    // Inside an entry, the third level, arrays and objects by turns: the 65th level is the
    // object of the 31st pair.
    const std::string in_entry = replaced(minimal, R"("size":3)", R"("size":3,"x":)");
    const std::size_t at = in_entry.find(R"("x":)") + 4;
    std::string pairs;
    for (int i = 0; i < 31; ++i) {
        pairs += R"([{"k":)";
    }
    EXPECT_EQ(refusal(std::string(in_entry).insert(at, pairs)), too_deep_at(at + 6 * 30 + 1));
}

TEST(BaseReport, AReportNestedToTheLimitInMembersItSkipsIsRead) {
    // The entry is the third level; its member holds the other 61.
    const usage_snapshot snapshot =
        read(replaced(minimal, R"("size":3)", R"("size":3,"x":)" + nested(61, false)));
    ASSERT_EQ(snapshot.entries.size(), 1u);
    EXPECT_EQ(snapshot.entries[0].size, 3);
    EXPECT_EQ(refusal(replaced(minimal, R"("size":3)", R"("size":3,"x":)" + nested(62, false))),
              too_deep_at(minimal.find(R"("size":3)") + 13 + 61));
}

TEST(BaseReport, LongStringsAndAMillionMembersAreReadWhole) {
    // A name and a key of 16 MiB, with escapes.
    const std::string long_text(16u << 20, 'n');
    const usage_snapshot snapshot =
        read(replaced(minimal, R"("name":"e")",
                      R"("name":"\\)" + long_text + R"(\u00e9",")" + long_text + R"(":1)"));
    ASSERT_EQ(snapshot.entries.size(), 1u);
    EXPECT_EQ(snapshot.entries[0].name, "\\" + long_text + "\xC3\xA9");
    // A million members of the report object, which the diff skips.
    std::string members = R"({"format":"tarvel-usage")";
    for (int i = 0; i < 1000000; ++i) {
        members += ",\"m" + std::to_string(i) + "\":[" + std::to_string(i) + "]";
    }
    EXPECT_EQ(read(members + minimal.substr(minimal.find(",\"version\""))).rom_used, 7);
}

}  // namespace
}  // namespace tarvel
