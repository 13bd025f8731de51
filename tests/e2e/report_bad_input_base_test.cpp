// End-to-end tests of base reports (--diff BASE) that are no report of this run's kind: empty,
// cut short, of another version or program, with repeated members or numbers beyond what a
// byte figure can be, nested 100 000 levels deep, and of 100 MB or a million members. Each is
// refused with exit code 3, naming the file and the reason, or compared as any other base.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "e2e/report_bad_input_support.h"

namespace tarvel::test {
namespace {

class ReportBadBase : public ReportBadInput {
  protected:
    ReportBadBase() {
        EXPECT_EQ(run_report(dir, small_puma_with({"--json", "base.json"})).exit_code, 0);
        // Windows writes the report's line ends as CR LF; the cuts below look for LF alone.
        base = dir.read("base.json");
        std::erase(base, '\r');
    }

    // Writes `content` as `name` and expects the diff with it refused for `reason`.
    void expect_base_refused(const std::string& name, const std::string& content,
                             const std::string& reason) {
        dir.write(name, content);
        expect_refused(small_puma_with({"--diff", name}), 3,
                       "tarvel-report: the base report '" + name + "' " + reason + "\n");
    }

    // The base report with its first `from` replaced by `to`.
    std::string base_with(const std::string& from, const std::string& to) const {
        std::string text = base;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    }

    // The base report up to the end of the first `mark`.
    std::string base_up_to(const std::string& mark) const {
        const std::size_t at = base.find(mark);
        EXPECT_NE(at, std::string::npos) << mark;
        return base.substr(0, at + mark.size());
    }

    std::string base;
};

TEST_F(ReportBadBase, AnEmptyOrCutShortReport) {
    expect_base_refused("empty.json", "", "is not valid JSON (at byte 0: The document is empty.)");
    // Cut in a string, after a name, in an object and between the lists: the message says the
    // file ends there.
    const auto cut_at = [this](const std::string& mark, const std::string& reason) {
        const std::string cut = base_up_to(mark);
        expect_base_refused("cut.json", cut,
                            "is not valid JSON (at byte " + std::to_string(cut.size()) +
                                ", the end of the file: " + reason + ")");
    };
    cut_at("\"entries\":[\n{\"name\":\".te", "Missing a closing quotation mark in string.");
    cut_at("\"rom\":", "Invalid value.");
    cut_at("\"searches\":[{\"search\":\"text \",\"bytes\":768",
           "Missing a comma or '}' after an object member.");
    cut_at("\"unplaced\":[\n", "Invalid value.");
    // Without its final line end the report is whole.
    ASSERT_EQ(base.back(), '\n');
    dir.write("whole.json", base.substr(0, base.size() - 1));
    EXPECT_EQ(run_report(dir, small_puma_with({"--diff", "whole.json"})).exit_code, 0);
}

TEST_F(ReportBadBase, AReportOfAnotherFormatOrVersion) {
    expect_base_refused("v2.json", base_with("\"version\":1,", "\"version\":2,"),
                        "is a report of version 2; this program compares with version 1");
    expect_base_refused("v1s.json", base_with("\"version\":1,", "\"version\":\"1\","),
                        "is a report of version \"1\"; this program compares with version 1");
    expect_base_refused("v1f.json", base_with("\"version\":1,", "\"version\":1.0,"),
                        "has no integer \"version\"; this program compares with version 1");
    expect_base_refused("none.json", base_with("\"version\":1,", ""),
                        "has no integer \"version\"; this program compares with version 1");
    expect_base_refused("format.json", base_with("tarvel-usage", "tarvel-usage-2"),
                        "is not a tarvel-usage report of tarvel-report");
}

TEST_F(ReportBadBase, JsonOfAnotherProgramOrKind) {
    expect_base_refused("package.json",
                        R"({"name":"firmware","version":"1.0.0","scripts":{"build":"make"},)"
                        R"("dependencies":{"left-pad":"^1.3.0"}})",
                        "is not a tarvel-usage report of tarvel-report");
    // The report's own schema is JSON of this project, but no report.
    std::filesystem::copy_file(
        std::filesystem::path(TARVEL_SOURCE_DIR) / "docs" / "usage.schema.json",
        dir.path() / "schema.json");
    expect_refused(small_puma_with({"--diff", "schema.json"}), 3,
                   "tarvel-report: the base report 'schema.json' is not a tarvel-usage report of "
                   "tarvel-report\n");
    // The report inside a list, and the HTML page that embeds it.
    expect_base_refused("list.json", "[" + base + "]",
                        "is not a tarvel-usage report of tarvel-report");
    ASSERT_EQ(run_report(dir, small_puma_with({"--html", "page.html"})).exit_code, 0);
    expect_refused(small_puma_with({"--diff", "page.html"}), 3,
                   "tarvel-report: the base report 'page.html' is not valid JSON (at byte 0: "
                   "Invalid value.)\n");
}

TEST_F(ReportBadBase, AMemberGivenTwiceIsRefused) {
    const std::string not_ours = "is not a report of tarvel-report: ";
    expect_base_refused("used.json", base_with("\"used\":1040,", "\"used\":0,\"used\":1040,"),
                        not_ours + "rom.\"used\" appears twice");
    expect_base_refused("size.json", base_with("\"size\":768,", "\"size\":768,\"size\":0,"),
                        not_ours + "entries[0].\"size\" appears twice");
    expect_base_refused("entries.json", base_with("\"entries\":[", "\"entries\":[],\"entries\":["),
                        not_ours + "\"entries\" appears twice");
    expect_base_refused("format.json",
                        base_with("\"version\":1,", "\"version\":1,\"format\":\"tarvel-usage\","),
                        not_ours + "\"format\" appears twice");
    // A member the diff does not read may come twice.
    dir.write("total.json", base_with("\"total\":4096,", "\"total\":4096,\"total\":1,"));
    EXPECT_EQ(run_report(dir, small_puma_with({"--diff", "total.json"})).exit_code, 0);
}

TEST_F(ReportBadBase, NumbersBeyondAByteFigureAreRefusedNamingTheMember) {
    const std::string lacks = "lacks what a comparison needs: ";
    const std::string not_ours = "is not a report of tarvel-report: ";
    expect_base_refused("2p64.json", base_with("\"used\":1040,", "\"used\":18446744073709551616,"),
                        lacks + "rom.\"used\" is not an integer of at most 64 bits");
    expect_base_refused("1e30.json", base_with("\"size\":768,", "\"size\":1e30,"),
                        lacks + "entries[0].\"size\" is not an integer of at most 64 bits");
    // Integers of 64 bits that no byte count of a report is: above 2^63 - 1, or negative.
    expect_base_refused("u64.json", base_with("\"used\":1040,", "\"used\":18446744073709551615,"),
                        not_ours +
                            "rom.\"used\" is 18446744073709551615, more than a byte figure "
                            "can be (2^63 - 1)");
    expect_base_refused("2p63.json", base_with("\"bytes\":256", "\"bytes\":9223372036854775808"),
                        not_ours +
                            "searches[1].\"bytes\" is 9223372036854775808, more than a "
                            "byte figure can be (2^63 - 1)");
    expect_base_refused(
        "negative.json",
        base_with("\"address\":768,\"size\":256,", "\"address\":768,\"size\":-256,"),
        not_ours + "entries[1].\"size\" is negative (-256)");
    expect_base_refused("minimum.json", base_with("\"used\":64,", "\"used\":-9223372036854775808,"),
                        not_ours + "ram.\"used\" is negative (-9223372036854775808)");
    // 2^63 - 1 is a byte figure: the diff holds it as it is.
    dir.write("max.json", base_with("\"used\":1040,", "\"used\":9223372036854775807,"));
    const process_result result = run_report(dir, small_puma_with({"--diff", "max.json"}));
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_NE(result.output.find("9223372036854775807        1040-9223372036854774767"),
              std::string::npos)
        << result.output;
}

std::string too_deep_at(std::size_t byte) {
    return "nests deeper than a report can (depth 65 at byte " + std::to_string(byte) +
           "; this program reads 64 levels at most)";
}

// A file of brackets only, or brackets in a member of a report, ran the reader out of stack.
TEST_F(ReportBadBase, NestingDeeperThanAReportCanIsRefusedAtItsByte) {
    const std::string brackets(100000, '[');
    const std::string closing(100000, ']');
    expect_base_refused("deep.json", brackets + closing, too_deep_at(64));
    const std::string head = R"({"format":"tarvel-usage","version":1,"x":)";
    expect_base_refused("member.json", head + brackets + closing + "}",
                        too_deep_at(head.size() + 63));
    // In the real report, objects and arrays by turns in an entry, and the file cut short
    // there: the depth is named, not the end of the file.
    const std::string entry = "\"entries\":[\n{\"name\":\".text\",";
    std::string pairs;
    for (int i = 0; i < 50000; ++i) {
        pairs += "[{\"k\":";
    }
    const std::string cut = base_up_to(entry) + "\"x\":" + pairs;
    expect_base_refused("entry.json", cut, too_deep_at(cut.size() - pairs.size() + 6 * 30 + 1));
    // A member of 61 levels in an entry (the third level) makes 64: the base is compared.
    dir.write("limit.json", base_with(entry, entry + "\"x\":" + std::string(61, '[') +
                                                 std::string(61, ']') + ","));
    const process_result result = run_report(dir, small_puma_with({"--diff", "limit.json"}));
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(result.error_output, "");
}

// Keys and strings of 10 MB in members the diff skips, and a million members of the report
// object and of one entry: read, and compared as the report they stand in.
TEST_F(ReportBadBase, LongKeysAndStringsAndAMillionMembersAreRead) {
    const std::string long_text(10u << 20, 'k');
    std::string members;
    members.reserve(20u << 20);
    for (int i = 0; i < 1000000; ++i) {
        members += "\"m" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    }
    const std::string big = base_with(
        "{\"format\"", "{\"" + long_text + "\":\"" + long_text + "\"," + members + "\"format\"");
    const std::string entry = base_with("\"entries\":[\n{", "\"entries\":[\n{" + members);
    // The text report names the base: each is compared under the same name.
    dir.write("b.json", base);
    const process_result expected = run_report(dir, small_puma_with({"--diff", "b.json"}));
    ASSERT_EQ(expected.exit_code, 0) << expected.error_output;
    for (const auto& [what, content] : {std::pair{"the report", &big}, {"an entry", &entry}}) {
        dir.write("b.json", *content);
        const measured_run run = measured_report(dir, small_puma_with({"--diff", "b.json"}));
        EXPECT_EQ(run.result.exit_code, 0) << run.result.error_output;
        EXPECT_EQ(run.result.error_output, "");
        EXPECT_EQ(run.result.output, expected.output) << what;
        expect_within(run, std::string("diff with a million members in ") + what, 60, 1024);
    }
}

// A build of a million entries: its report is about 80 MB, and the diff with it takes well
// under a second in an optimised build.
TEST_F(ReportBadBase, AMillionEntriesAreComparedInAFewSeconds) {
    const std::string head = base_up_to("\"entries\":[\n");
    std::string big = head;
    constexpr int entries = 1000000;
    big.reserve(entries * 80 + base.size());
    char line[128];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(line, sizeof line,
                      "{\"name\":\".text_%07d\",\"address\":0,\"size\":16,\"area\":\"Prg seg0\","
                      "\"search\":null},\n",
                      i);
        big += line;
    }
    big += base.substr(head.size());
    dir.write("big.json", big);
    big.clear();
    big.shrink_to_fit();
    const measured_run run = measured_report(dir, small_puma_with({"--diff", "big.json"}));
    EXPECT_EQ(run.result.exit_code, 0) << run.result.error_output;
    EXPECT_EQ(run.result.error_output, "");
    EXPECT_NE(run.result.output.find(
                  native_lines("Largest entry changes (10 of 1000000):\n"
                               "         -16  removed Prg seg0  .text_0000000  (16 -> 0)\n")),
              std::string::npos);
    expect_within(run, "diff with a base of 1000000 entries", 60, 1024);
}

// One name of 100 MB: read once, compared, and printed whole.
TEST_F(ReportBadBase, AHundredMegabyteNameIsReadWhole) {
    const std::string long_name = ".rodata" + std::string(100u << 20, 'x');
    dir.write("big.json", base_with("\"name\":\".rodata\"", "\"name\":\"" + long_name + "\""));
    const measured_run run = measured_report(dir, small_puma_with({"--diff", "big.json"}));
    EXPECT_EQ(run.result.exit_code, 0) << run.result.error_output;
    EXPECT_NE(run.result.output.find(native_lines("Largest entry changes (2 of 2):\n"
                                                  "        +256  added   Prg seg0  .rodata  (0 -> "
                                                  "256)\n"
                                                  "        -256  removed Prg seg0  " +
                                                  long_name + "  (256 -> 0)\n")),
              std::string::npos);
    expect_within(run, "diff with a base of 100 MB holding one name", 60, 1024);
}

}  // namespace
}  // namespace tarvel::test
