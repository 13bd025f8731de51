// End-to-end tests of maps that are damaged or unusual: a GNU ld map cut in the middle of a
// section, CR LF line ends, names of 10 000 characters, a million input sections, and
// image-summary maps with columns missing.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/report_bad_input_support.h"

namespace tarvel::test {
namespace {

namespace fs = std::filesystem;

std::string example_file(const std::string& relative) {
    std::ifstream in(fs::path(TARVEL_SOURCE_DIR) / "examples" / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `text` up to and with its `lines`th line.
std::string first_lines(const std::string& text, std::size_t lines) {
    std::size_t end = 0;
    for (std::size_t i = 0; i < lines; ++i) {
        end = text.find('\n', end) + 1;
    }
    return text.substr(0, end);
}

std::string without_cr(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c != '\r') {
            result += c;
        }
    }
    return result;
}

std::string with_crlf(const std::string& text) {
    std::string result;
    for (const char c : without_cr(text)) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

// The sizes of the entries of a JSON report, as "name size" lines.
std::string entry_sizes(const nlohmann::json& report) {
    std::string text;
    for (const nlohmann::json& entry : report.at("entries")) {
        text.append(entry.at("name").get<std::string>())
            .append(" ")
            .append(std::to_string(entry.at("size").get<long long>()))
            .append("\n");
    }
    return text;
}

class ReportBadMap : public ::testing::Test {
  protected:
    nlohmann::json json_of(const std::vector<std::string>& arguments) {
        std::vector<std::string> with_format = arguments;
        with_format.insert(with_format.end(), {"--format", "json"});
        const process_result result = run_report(dir, with_format);
        EXPECT_EQ(result.exit_code, 0) << result.error_output;
        return nlohmann::json::parse(result.output, nullptr, false);
    }

    c_temp_dir dir;
};

// The map says each output section's size on its own line; where the input sections that
// follow are cut off, an entry named after the output section holds the rest, so the section
// counts whole. What comes after the cut is not there to count: the report is of what the map
// holds, as it would be of a map that ends there. (A map has no closing line by which a cut
// could be told from an end: ld writes what the link had.)
TEST_F(ReportBadMap, AGnuMapCutInASectionCountsTheSectionWhole) {
    const std::string map = example_file("gnu/application.map");
    // Line 92 is the size line of .text.sensor_init, the 7th input section of .text (0x3dc).
    dir.write("cut.map", first_lines(map, 92));
    const std::string counted =
        ".isr_vector 64\n"
        ".text 236\n"
        ".text 160\n"
        ".text.Default_Handler 2\n"
        "*fill* 2\n"
        ".text.Reset_Handler 80\n"
        ".text.startup.main 152\n"
        ".text.sensor_init 20\n";
    nlohmann::json report = json_of({"--map", "cut.map"});
    EXPECT_EQ(report.at("input").at("type"), "Gnu");
    EXPECT_EQ(report.at("rom").at("used"), 64 + 0x3dc);
    EXPECT_EQ(report.at("ram").at("used"), 0);
    EXPECT_EQ(entry_sizes(report), counted + ".text 336\n");
    EXPECT_EQ(report.at("reader").at("lines_read"), 92);

    // Cut in the middle of a line: the input section whose size is missing is in the rest.
    dir.write("cut.map", first_lines(map, 90) + "                0x080002b8   ");
    report = json_of({"--map", "cut.map"});
    EXPECT_EQ(report.at("rom").at("used"), 64 + 0x3dc);
    EXPECT_EQ(entry_sizes(report),
              counted.substr(0, counted.find(".text.sensor_init")) + ".text 356\n");

    // Cut after the header of .text: the whole section is the rest.
    dir.write("cut.map", first_lines(map, 71));
    report = json_of({"--map", "cut.map"});
    EXPECT_EQ(entry_sizes(report), ".isr_vector 64\n.text 988\n");
    // And tarvel reads it alike.
    dir.write("t.def", example_file("gnu/target.def"));
    const process_result tarvel =
        run_program(tarvel_executable(), {"Gnu", "t.def", "cut.map"}, dir.path());
    EXPECT_EQ(tarvel.exit_code, 0);
    EXPECT_NE(tarvel.output.find(native_lines("Used:     1052\n")), std::string::npos)
        << tarvel.output;
}

// Every example, with LF and with CR LF line ends in map and definition, gives the same
// reports byte for byte.
TEST_F(ReportBadMap, CrLfLineEndsGiveTheSameFigures) {
    c_temp_dir crlf;
    for (const char* example :
         {"orca", "puma", "ibex", "wren", "puma_mem32_unlimited", "gnu", "otter"}) {
        const std::string map = example_file(std::string(example) + "/application.map");
        const std::string definition = example_file(std::string(example) + "/target.def");
        dir.write("m.map", without_cr(map));
        dir.write("t.def", without_cr(definition));
        crlf.write("m.map", with_crlf(map));
        crlf.write("t.def", with_crlf(definition));
        for (const char* format : {"text", "json", "csv", "markdown"}) {
            const std::vector<std::string> arguments{"--def", "t.def",    "--map",
                                                     "m.map", "--format", format};
            const process_result lf_run = run_report(dir, arguments);
            const process_result crlf_run = run_report(crlf, arguments);
            EXPECT_EQ(lf_run.exit_code, 0) << example << " " << format;
            EXPECT_EQ(crlf_run.exit_code, 0) << example << " " << format;
            EXPECT_EQ(crlf_run.output, lf_run.output) << example << " " << format;
        }
    }
}

// A name of 10 000 characters is held whole in every report, and the JSON stays valid.
TEST_F(ReportBadMap, NamesOf10000CharactersAreHeldWhole) {
    const std::string gnu_name = ".text." + std::string(9994, 'g');
    const std::string object = std::string(9998, 'o') + ".o";
    dir.write("gnu.map",
              "Memory Configuration\n\n"
              "Name             Origin             Length             Attributes\n"
              "FLASH            0x08000000         0x00010000         xr\n"
              "RAM              0x20000000         0x00005000         xrw\n\n"
              "Linker script and memory map\n\n"
              ".text           0x08000000       0x30\n"
              " " +
                  gnu_name +
                  "\n"
                  "                0x08000000       0x20 " +
                  object +
                  "\n"
                  " .text.short    0x08000020       0x10 main.o\n");
    const std::string section_name = std::string(9999, 's');
    dir.write("t.def",
              "PROGRAM 0 10000\nMEMORY 3FF0000 1000\nSEARCH " + section_name.substr(0, 100) + "\n");
    dir.write("section.map", "  1  ." + section_name +
                                 "  00000100  00000000  x\n  AX\n"
                                 "  2  .bss  00000040  03FF0000  x\n  WA\n");
    struct named_input {
        std::vector<std::string> arguments;
        std::string name;
    };
    const named_input inputs[] = {
        {{"--map", "gnu.map", "--by", "object"}, gnu_name},
        {{"--type", "Puma_mem32_unlimited", "--def", "t.def", "--map", "section.map"},
         section_name},
    };
    for (const named_input& input : inputs) {
        const nlohmann::json report = json_of(input.arguments);
        ASSERT_FALSE(report.is_discarded()) << input.name.size();
        EXPECT_EQ(report.at("entries")[0].at("name"), input.name);
        for (const char* format : {"text", "csv", "markdown", "html"}) {
            std::vector<std::string> arguments = input.arguments;
            arguments.insert(arguments.end(), {"--format", format});
            const process_result result = run_report(dir, arguments);
            EXPECT_EQ(result.exit_code, 0) << format;
            EXPECT_NE(result.output.find(input.name), std::string::npos) << format;
        }
    }
    EXPECT_EQ(json_of(inputs[0].arguments).at("entries")[0].at("object"), object);
    // The text report lists the object whole too.
    const process_result text = run_report(dir, inputs[0].arguments);
    EXPECT_NE(text.output.find(
                  native_lines("          32  0x08000000  " + gnu_name + "  " + object + "\n")),
              std::string::npos);
}

// A GNU ld map of a million input sections of 4 bytes in one output section.
TEST_F(ReportBadMap, AMillionInputSectionsInAFewSeconds) {
    constexpr unsigned sections = 1000000;
    std::string map =
        "Memory Configuration\n\n"
        "Name             Origin             Length             Attributes\n"
        "FLASH            0x08000000         0x01000000         xr\n"
        "RAM              0x20000000         0x00005000         xrw\n\n"
        "Linker script and memory map\n\n";
    char line[128];
    std::snprintf(line, sizeof line, ".text           0x08000000   0x%x\n", 4 * sections);
    map += line;
    for (unsigned i = 0; i < sections; ++i) {
        std::snprintf(line, sizeof line, " .text.f%u\n                0x%08x        0x4 m%u.o\n", i,
                      0x08000000u + 4 * i, i % 100);
        map += line;
    }
    dir.write("million.map", map);
    map.clear();
    map.shrink_to_fit();
    const measured_run run = measured_report(dir, {"--map", "million.map", "--by", "object"});
    EXPECT_EQ(run.result.exit_code, 0) << run.result.error_output;
    for (const char* part :
         {"ROM area: \nTotal:    16777216\nPct Used:  23.8%\nFree:     12777216\nUsed:     "
          "4000000\n",
          "  FLASH:     Used     4000000, Free    12777216, Total   16777216, Pct Used:  23.8%\n",
          "By object file (10 of 100):\n     Program         RAM  Name\n       40000           0  "
          "m0.o\n",
          "Largest entries of FLASH (10 of 1000000):\n           4  0x08000000  .text.f0  "
          "m0.o\n"}) {
        EXPECT_NE(run.result.output.find(native_lines(part)), std::string::npos) << part;
    }
    expect_within(run, "GNU ld map of 1000000 input sections", 60, 1024);
}

// An image-summary map with a column missing. Without its heading a table is not there; a row
// that is not whole inside a table is damage, and the run fails rather than leave out what the
// row held.
class ReportOtterColumns : public ReportBadMap {
  protected:
    ReportOtterColumns() { dir.write("t.def", example_file("otter/target.def")); }

    std::string map_with(const std::string& from, const std::string& to) {
        std::string map = example_file("otter/application.map");
        const std::size_t at = map.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? map : map.replace(at, from.size(), to);
    }
};

const char* const image_row =
    "an Image Summary row (section, base, size in hexadecimal and decimal, offset)";

TEST_F(ReportOtterColumns, AHeadingWithoutAColumnLeavesNoSection) {
    // Without its Image Summary the map has no section: every module piece lies outside.
    const std::string nothing =
        "tarvel-report: no entry of the map 'm.map' lies in a defined area: 61 lines read, 15 "
        "entries of the type Otter recognised, 15 of them left out by the format's rules.\n"
        "Hint: the format's rules left out every entry: module piece outside its section (15).\n";
    dir.write("m.map", map_with("Size(dec)  SecOffs", "Size(dec)"));
    const process_result result = run_report(dir, {"--def", "t.def", "--map", "m.map"});
    EXPECT_EQ(result.exit_code, 4);
    EXPECT_EQ(result.error_output, native_lines(nothing));
}

TEST_F(ReportOtterColumns, RowsWithoutAColumnAreDamageThatFailsTheRun) {
    dir.write("earlier.json", "earlier");
    // Every row without its file offset.
    std::string map = example_file("otter/application.map");
    const std::size_t begin = map.find("INTTBL            00000000");
    const std::size_t end = map.find("\n\nLoad Map", begin);
    std::string rows;
    for (std::size_t at = begin; at < end;) {
        const std::size_t line_end = std::min(map.find('\n', at), end);
        const std::string row = map.substr(at, line_end - at);
        rows += row.substr(0, row.find_last_not_of(' ', row.rfind(' ')) + 1) + "\n";
        at = line_end + 1;
    }
    rows.pop_back();
    EXPECT_EQ(rows.substr(0, rows.find('\n')), "INTTBL            00000000  00000100   256");
    dir.write("m.map", map.replace(begin, end - begin, rows));
    process_result result = run_report(
        dir, {"--type", "Otter", "--def", "t.def", "--map", "m.map", "--json", "earlier.json"});
    EXPECT_EQ(result.exit_code, 3) << rows;
    EXPECT_EQ(result.error_output,
              native_lines(std::string("tarvel-report: the map 'm.map' is damaged: line 10 "
                                       "should be ")
                               .append(image_row)
                               .append(" and is not (12 such lines)\n")));
    EXPECT_EQ(dir.read("earlier.json"), "earlier");

    // One row: .text without its decimal size would lose its 10816 bytes.
    dir.write("m.map", map_with("00002a40   10816      00000500", "00002a40   00000500"));
    result = run_report(dir, {"--def", "t.def", "--map", "m.map"});
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(result.error_output,
              native_lines(std::string("tarvel-report: the map 'm.map' is damaged: line 11 "
                                       "should be ")
                               .append(image_row)
                               .append(" and is not\n")));
    // A Module Summary row without its range.
    dir.write("m.map", map_with("00001168+000b04  .text", "00001168  .text"));
    result = run_report(dir, {"--def", "t.def", "--map", "m.map"});
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_NE(result.error_output.find("should be a Module Summary row (origin+size, section, "
                                       "module) and is not"),
              std::string::npos)
        << result.error_output;
}

TEST_F(ReportOtterColumns, APieceWithoutItsModuleKeepsTheFiguresWhole) {
    // A piece without its module is a piece without an origin: the figures are whole.
    dir.write("m.map", map_with("00000228+000f40  .text        main.o", "00000228+000f40  .text"));
    const nlohmann::json no_module =
        json_of({"--def", "t.def", "--map", "m.map", "--by", "object"});
    EXPECT_EQ(no_module.at("rom").at("used"), 12772);
    bool found = false;
    for (const nlohmann::json& entry : no_module.at("entries")) {
        if (entry.at("address") == 0x228) {
            EXPECT_EQ(entry.at("size"), 0xf40);
            EXPECT_FALSE(entry.contains("object"));
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace tarvel::test
