// End-to-end tests of tarvel-report's formats: the exact report of a small Puma input in
// every format on standard output, and the same reports written to files in one run.
#include <gtest/gtest.h>

#include "support/report_run.h"
#include "version_info.h"

namespace tarvel::test {
namespace {

const std::string small_text_head =
    "Puma map a.map\n"
    "Definition: t.def\n"
    "\n" +
    report_head +
    "RAM area: \n"
    "Total:    256\n"
    "Pct Used:  25.0%\n"
    "Free:     192\n"
    "Used:     64\n"
    "\n"
    "ROM area: \n"
    "Total:    4096\n"
    "Pct Used:  25.4%\n"
    "Free:     3056\n"
    "Used:     1040\n"
    "\n"
    "\n"
    "  Prg seg0:     Used        1040, Free        3056, Total       4096, Pct Used:  25.4%\n"
    "\n"
    "Program breakdown:\n"
    "768 : 74% , Search = text \n"
    "256 : 25% , Search = |data |text \n"
    "---------------------------------------\n"
    "1024\tAccounted for in search: 98%\n"
    "\n"
    "Warning: Ambiguous search with 800 = 77% found and removed from multiple counting.";

const std::string small_text_tail =
    "\n"
    "\n"
    "RAM areas:\n"
    "  Ram seg0:     Used          64, Free         192, Total        256, Pct Used:  25.0%\n"
    "\n"
    "Largest entries of Prg seg0 (3 of 3):\n"
    "         768  0x00000000  .text  [text]\n"
    "         256  0x00000300  .rodata  [|data |text]\n"
    "          16  0x00000400  .text\n"
    "\n"
    "Largest entries of Ram seg0 (1 of 1):\n"
    "          64  0x03FF0000  .bss\n"
    "\n"
    "Entries in no area: 1\n"
    "          32  0x01000000  .data\n"
    "\n";

const std::string small_json =
    R"({"format":"tarvel-usage","version":1,"generator":{"program":"tarvel-report","version":")" +
    std::string(TARVEL_PRODUCT_VERSION) +
    R"("},"input":{"type":"Puma","detected":false,"definition":"t.def","map":"a.map","eep":null},)"
    R"("areas_from":"definition",)"
    R"("reader":{"lines_read":10,"entries_recognised":5,"entries_placed":4,"entries_unplaced":1,)"
    R"("entries_dropped":0,"dropped":[]},)"
    R"("ram":{"total":256,"used":64,"free":192,"used_percent":25.0,"bits":0},)"
    R"("rom":{"total":4096,"used":1040,"free":3056,"used_percent":25.4},)"
    R"("areas":[{"name":"Prg seg0","kind":"program","start":0,"size":4096,"used":1040,)"
    R"("free":3056,"over":0,"used_percent":25.4,"bits":0,"entries":3,"kind_from":"definition"},)"
    R"({"name":"Ram seg0","kind":"ram","start":67043328,"size":256,"used":64,"free":192,"over":0,)"
    R"("used_percent":25.0,"bits":0,"entries":1,"kind_from":"definition"}],)"
    R"("searches":[{"search":"text ","bytes":768,"percent":73.8},)"
    R"({"search":"|data |text ","bytes":256,"percent":24.6}],)"
    R"("accounted":{"bytes":1024,"percent":98.5},)"
    R"("ambiguous":{"bytes":800,"percent":76.9,"records":[)"
    R"({"name":".text","search":"|data |text ","earlier_search":"text "},)"
    R"({"name":".text","search":"text ","earlier_search":"text "},)"
    R"({"name":".text","search":"|data |text ","earlier_search":"text "}]},"entries":[)"
    "\n"
    R"({"name":".text","address":0,"size":768,"counted":768,"area":"Prg seg0","search":"text "},)"
    "\n"
    R"({"name":".rodata","address":768,"size":256,"counted":256,"area":"Prg seg0","search":"|data |text "},)"
    "\n"
    R"({"name":".text","address":1024,"size":16,"counted":16,"area":"Prg seg0","search":null},)"
    "\n"
    R"({"name":".bss","address":67043328,"size":64,"counted":64,"area":"Ram seg0","search":null}],)"
    "\"unplaced\":[\n"
    R"({"name":".data","address":16777216,"size":32,"counted":32}]})"
    "\n";

const std::string small_csv =
    "area,name,address,size,counted,unit,search,object,archive\n"
    "Prg seg0,.text,0x00000000,768,768,byte,text ,,\n"
    "Prg seg0,.rodata,0x00000300,256,256,byte,|data |text ,,\n"
    "Prg seg0,.text,0x00000400,16,16,byte,,,\n"
    "Ram seg0,.bss,0x03FF0000,64,64,byte,,,\n";

const std::string small_markdown =
    "### Memory usage of a.map (Puma)\n"
    "\n"
    "| Program memory | Used | Free | Total | Used % |\n"
    "|:---|---:|---:|---:|---:|\n"
    "| **ROM** | 1040 | 3056 | 4096 | 25.4% |\n"
    "| Prg seg0 | 1040 | 3056 | 4096 | 25.4% |\n"
    "\n"
    "| RAM | Used | Free | Total | Used % |\n"
    "|:---|---:|---:|---:|---:|\n"
    "| **RAM** | 64 | 192 | 256 | 25.0% |\n"
    "| Ram seg0 | 64 | 192 | 256 | 25.0% |\n"
    "\n"
    "| Search | Bytes | Share of used ROM |\n"
    "|:---|---:|---:|\n"
    "| text | 768 | 73.8% |\n"
    "| \\|data \\|text | 256 | 24.6% |\n"
    "\n"
    "800 bytes matched more than one search and were counted once (3 repeated matches).\n"
    "\n"
    "<details><summary>Largest entries of Prg seg0 (2 of 3)</summary>\n"
    "\n"
    "| Entry | Address | Size |\n"
    "|:---|---:|---:|\n"
    "| .text | 0x00000000 | 768 |\n"
    "| .rodata | 0x00000300 | 256 |\n"
    "\n"
    "</details>\n"
    "\n"
    "<details><summary>Largest entries of Ram seg0 (1 of 1)</summary>\n"
    "\n"
    "| Entry | Address | Size |\n"
    "|:---|---:|---:|\n"
    "| .bss | 0x03FF0000 | 64 |\n"
    "\n"
    "</details>\n"
    "\n";

const std::string small_ambiguities =
    ".text: Found in [ |data |text ] and in [ text ]\n"
    ".text: Found in [ text ] and in [ text ]\n"
    ".text: Found in [ |data |text ] and in [ text ]\n";

class ReportFormats : public ::testing::Test {
  protected:
    ReportFormats() { write_small_puma_input(dir); }

    // Runs on the small input and expects success with nothing on standard error.
    std::string output_of(const std::vector<std::string>& more) {
        const process_result result = run_report(dir, small_puma_with(more));
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(result.error_output, "");
        return result.output;
    }

    c_temp_dir dir;
};

TEST_F(ReportFormats, TextIsTheDefault) {
    EXPECT_EQ(output_of({}), native_lines(small_text_head + small_text_tail));
    EXPECT_EQ(output_of({"--format", "text"}), native_lines(small_text_head + small_text_tail));
}

TEST_F(ReportFormats, JsonCsvAndMarkdownOnStandardOutput) {
    EXPECT_EQ(output_of({"--format", "json"}), native_lines(small_json));
    EXPECT_EQ(output_of({"--format", "csv"}), native_lines(small_csv));
    EXPECT_EQ(output_of({"--format", "markdown", "--top", "2"}), native_lines(small_markdown));
}

TEST_F(ReportFormats, EveryFileInOneRunBesideTheTextOnStandardOutput) {
    std::filesystem::create_directory(dir.path() / "out");
    const std::string text = output_of({"--json", "out/r.json", "--csv", "out/r.csv", "--markdown",
                                        "out/r.md", "--ambiguities", "out/amb.txt", "--top", "2"});
    // The text names the ambiguity file, which exists once the text is printed.
    EXPECT_EQ(text, native_lines(small_text_head +
                                 " See ambiguous search result file in out/amb.txt.\n"
                                 "\n"
                                 "RAM areas:\n"
                                 "  Ram seg0:     Used          64, Free         192, Total     "
                                 "   256, Pct Used:  25.0%\n"
                                 "\n"
                                 "Largest entries of Prg seg0 (2 of 3):\n"
                                 "         768  0x00000000  .text  [text]\n"
                                 "         256  0x00000300  .rodata  [|data |text]\n"
                                 "\n"
                                 "Largest entries of Ram seg0 (1 of 1):\n"
                                 "          64  0x03FF0000  .bss\n"
                                 "\n"
                                 "Entries in no area: 1\n"
                                 "          32  0x01000000  .data\n"
                                 "\n"));
    EXPECT_EQ(dir.read("out/r.json"), native_lines(small_json));
    EXPECT_EQ(dir.read("out/r.csv"), native_lines(small_csv));
    EXPECT_EQ(dir.read("out/r.md"), native_lines(small_markdown));
    EXPECT_EQ(dir.read("out/amb.txt"), native_lines(small_ambiguities));
    // Nothing else: no temporary file is left beside them.
    EXPECT_EQ(files_in(dir.path() / "out"),
              (std::vector<std::string>{"amb.txt", "r.csv", "r.json", "r.md"}));
}

TEST_F(ReportFormats, FilesAndStandardOutputInAnotherFormat) {
    // A JSON file and CSV on standard output; the JSON needs no --format json.
    EXPECT_EQ(output_of({"--format", "csv", "--json", "r.json"}), native_lines(small_csv));
    EXPECT_EQ(dir.read("r.json"), native_lines(small_json));
}

TEST_F(ReportFormats, AmbiguitiesFileOnlyWhenAsked) {
    output_of({});
    EXPECT_EQ(files_in(dir.path()), (std::vector<std::string>{"a.map", "t.def"}));
    // Without ambiguities the file is written all the same, empty.
    dir.write("t2.def", "PROGRAM 0 1000\nSEARCH rodata\n");
    const process_result result = run_report(
        dir, {"--type", "Puma", "--def", "t2.def", "--map", "a.map", "--ambiguities", "amb.txt"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(dir.read("amb.txt"), "");
    EXPECT_EQ(result.output.find("Ambiguous"), std::string::npos);
}

TEST_F(ReportFormats, TopBoundsTheListsOfTextAndMarkdown) {
    const std::string one = output_of({"--top", "1"});
    EXPECT_NE(one.find(native_lines("Largest entries of Prg seg0 (1 of 3):\n"
                                    "         768  0x00000000  .text  [text]\n\n")),
              std::string::npos)
        << one;
    const std::string none = output_of({"--top", "0"});
    EXPECT_EQ(none.find("Largest entries"), std::string::npos);
    EXPECT_NE(none.find(native_lines("Entries in no area: 1\n\n")), std::string::npos);
    EXPECT_EQ(output_of({"--format", "markdown", "--top", "0"}).find("<details>"),
              std::string::npos);
    // The JSON and CSV list every entry whatever --top says.
    EXPECT_EQ(output_of({"--format", "csv", "--top", "1"}), native_lines(small_csv));
}

TEST_F(ReportFormats, EepromReportFollowsInTextAndJson) {
    dir.write("EepPrj.src",
              "/* generated */\n_IpdEep_nOnceDataSize\n    0100;\n"
              "_IpdEep_nTrippleDataSize\n    0040;\n_IpdEep_nOnceDataFree\n"
              "    0300;\n_IpdEep_nTrippleDataFree\n    0080;\n");
    const std::string text = output_of({"--eep", "EepPrj.src"});
    EXPECT_EQ(text, native_lines(small_text_head + small_text_tail +
                                 "\n"
                                 "EEP size analyze: \n"
                                 "\n"
                                 " Total:     1600\n"
                                 "Pct Used:  28.0%\n"
                                 " used:      448\n"
                                 " Free:      1152\n"
                                 "\n"
                                 "Once Data: \n"
                                 " Total:     1024\n"
                                 "Pct Used:  25.0%\n"
                                 " Used:      256\n"
                                 " Free:      768\n"
                                 "\n"
                                 "Triple Data:\n"
                                 " Total:     576\n"
                                 "Pct Used:  33.3%\n"
                                 " Used:      192\n"
                                 " Free:      384\n"
                                 "\n"));
    std::string json = small_json;
    json.replace(json.find(R"("eep":null)"), 10, R"("eep":"EepPrj.src")");
    json.insert(json.size() - 2,
                R"(,"eeprom":{"total":{"total":1600,"used":448,"free":1152,"used_percent":28.0},)"
                R"("once":{"total":1024,"used":256,"free":768,"used_percent":25.0},)"
                R"("triple":{"total":576,"used":192,"free":384,"used_percent":33.3}})");
    EXPECT_EQ(output_of({"--eep", "EepPrj.src", "--format", "json"}), native_lines(json));
}

TEST_F(ReportFormats, WithoutATypeTheMapsContentDecides) {
    copy_example(dir, "puma");
    const std::vector<std::string> input{"--def", "puma/target.def", "--map",
                                         "puma/application.map"};
    std::vector<std::string> typed{"--type", "Puma"};
    typed.insert(typed.end(), input.begin(), input.end());
    std::vector<std::string> detected = input;
    detected.insert(detected.end(), {"--type", "auto"});
    for (const std::vector<std::string>& arguments : {input, detected}) {
        const process_result result = run_report(dir, arguments);
        EXPECT_EQ(result.exit_code, 0) << result.error_output;
        std::string expected = run_report(dir, typed).output;
        expected.insert(expected.find(native_lines("\n")), " (type detected)");
        EXPECT_EQ(result.output, expected);
    }
    const std::string json = run_report(dir, {"--def", "puma/target.def", "--map",
                                              "puma/application.map", "--format", "json"})
                                 .output;
    EXPECT_NE(json.find(R"("input":{"type":"Puma","detected":true,)"), std::string::npos) << json;
}

TEST_F(ReportFormats, BreakdownByObjectFileOfAMapThatNamesNone) {
    const std::string text = output_of({"--by", "object"});
    EXPECT_NE(text.find(native_lines("By object file (1 of 1):\n"
                                     "     Program         RAM  Name\n"
                                     "        1040          64  (none)\n")),
              std::string::npos)
        << text;
    EXPECT_EQ(output_of({"--by", "section"}), native_lines(small_text_head + small_text_tail));
}

}  // namespace
}  // namespace tarvel::test
