// End-to-end tests of the maps of Arm's armlink, IAR's ILINK and TI's linkers: each bundled
// example, written by hand in its linker's layout, gives the figures that the map itself
// states (armlink's Total ROM and RW Size, IAR's closing totals, TI's used bytes per region),
// in every format and by object file; a copy that disagrees with its own totals is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/process.h"
#include "support/report_run.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

struct vendor_example {
    const char* type;
    const char* folder;
    long long rom;  // the map's own totals
    long long ram;
    const char* object_line;  // a line of the breakdown by object file
    const char* damage_from;  // a row of the map ...
    const char* damage_to;    // ... changed into one that disagrees with the totals, or lost
    const char* damage_message;
};

const vendor_example examples[] = {
    {"Armlink", "armlink", 964, 1728, "         192           6  sensor.o",
     "0x0800034c   0x0800034c   0x00000040", "0x0800034c   0x0800034c   0x00000044",
     "is damaged: line 152 should be a total that the rows of the memory map add up to "
     "(Grand Totals of code and RO, RW and ZI data 2668, the rows give 2672) and is not (3 such "
     "lines)"},
    {"Iar", "iar", 1570, 2680, "         436          36  main.o",
     "  .text              ro code   0x800'0440    0x2c  crc.o [1]\n", "",
     "is damaged: line 167 should be a module summary whose gaps are those of the section list "
     "(Gaps 6 bytes, the section list 50) and is not"},
    {"Ti", "ti", 2702, 696, "         520          76  main.obj",
     "000008ba    00000064     uart.obj", "000008ba    00000060     uart.obj",
     "is damaged: line 43 should be an output section whose input sections add up to its length "
     "(.text: 1898 bytes, its input sections 1894) and is not (2 such lines)"},
};

class VendorExample : public ::testing::TestWithParam<vendor_example> {
  protected:
    VendorExample() { copy_example(dir, GetParam().folder); }
    std::string map() const { return std::string(GetParam().folder) + "/application.map"; }
    c_temp_dir dir;
};

TEST_P(VendorExample, WithoutDefinitionTheMapsRegionsGiveItsOwnTotals) {
    const process_result result = run_report(dir, {"--map", map(), "--format", "json"});
    ASSERT_EQ(result.exit_code, 0) << result.error_output;
    const nlohmann::json report = nlohmann::json::parse(result.output);
    EXPECT_EQ(report.at("input").at("type"), GetParam().type);
    EXPECT_EQ(report.at("rom").at("used").get<long long>(), GetParam().rom);
    EXPECT_EQ(report.at("ram").at("used").get<long long>(), GetParam().ram);
    EXPECT_EQ(report.at("unplaced").size(), 0u);
}

TEST_P(VendorExample, CsvRowsAddUpToTheTotalsAndNameTheirObjects) {
    const process_result result = run_report(dir, {"--map", map(), "--format", "csv"});
    ASSERT_EQ(result.exit_code, 0) << result.error_output;
    const process_result json = run_report(dir, {"--map", map(), "--format", "json"});
    const nlohmann::json report = nlohmann::json::parse(json.output);
    std::map<std::string, std::string> kind_of;
    for (const auto& area : report.at("areas")) {
        kind_of[area.at("name")] = area.at("kind");
    }
    std::istringstream lines(result.output);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("area,name,address,size,counted,unit,search,object,archive", 0), 0u);
    long long rom = 0;
    long long ram = 0;
    std::size_t with_object = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, ',');) {
            fields.push_back(field);
        }
        ASSERT_GE(fields.size(), 8u) << line;
        // These formats list no shared bytes: each entry counts its whole size.
        EXPECT_EQ(fields[3], fields[4]) << line;
        (kind_of.at(fields[0]) == "program" ? rom : ram) += std::stoll(fields[4]);
        with_object += fields[7].empty() ? 0 : 1;
    }
    EXPECT_EQ(rom, GetParam().rom);
    EXPECT_EQ(ram, GetParam().ram);
    EXPECT_GT(with_object, 10u);
}

TEST_P(VendorExample, ByObjectAndWithADefinitionAsTarvelReadsIt) {
    const process_result by_object = run_report(dir, {"--map", map(), "--by", "object"});
    ASSERT_EQ(by_object.exit_code, 0) << by_object.error_output;
    EXPECT_NE(by_object.output.find(GetParam().object_line), std::string::npos) << by_object.output;

    const std::string definition = std::string(GetParam().folder) + "/target.def";
    const process_result tarvel =
        run_program(tarvel_executable(), {GetParam().type, definition, map()}, dir.path());
    ASSERT_EQ(tarvel.exit_code, 0) << tarvel.error_output;
    EXPECT_NE(tarvel.output.find("Used:     " + std::to_string(GetParam().rom)), std::string::npos)
        << tarvel.output;
    EXPECT_NE(tarvel.output.find("Used:     " + std::to_string(GetParam().ram)), std::string::npos)
        << tarvel.output;
}

TEST_P(VendorExample, ACopyThatDisagreesWithItsTotalsIsRefused) {
    std::string text = dir.read(map());
    const std::size_t at = text.find(GetParam().damage_from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(GetParam().damage_from).size(), GetParam().damage_to);
    dir.write("damaged.map", text);
    for (const char* format : {"text", "json"}) {
        const process_result result = run_report(dir, {"--map", "damaged.map", "--format", format});
        EXPECT_EQ(result.exit_code, 3);
        EXPECT_EQ(result.output, "");
        EXPECT_NE(result.error_output.find(GetParam().damage_message), std::string::npos)
            << result.error_output;
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, VendorExample, ::testing::ValuesIn(examples),
                         [](const auto& info) { return std::string(info.param.type); });

// Program memory and RAM of each object file (archive members by their own name), from the CSV
// rows of a run and the kinds of its areas.
std::map<std::string, std::pair<long long, long long>> sums_by_object(const c_temp_dir& dir,
                                                                      const std::string& map) {
    std::map<std::string, std::pair<long long, long long>> sums;
    const process_result json = run_report(dir, {"--map", map, "--format", "json"});
    EXPECT_EQ(json.exit_code, 0) << json.error_output;
    const nlohmann::json report = nlohmann::json::parse(json.output);
    std::map<std::string, std::string> kind_of;
    for (const auto& area : report.at("areas")) {
        kind_of[area.at("name")] = area.at("kind");
    }
    const process_result csv = run_report(dir, {"--map", map, "--format", "csv"});
    std::istringstream lines(csv.output);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, ',');) {
            fields.push_back(field);
        }
        if (fields.size() < 8 || fields[7].empty()) {
            continue;
        }
        auto& [rom, ram] = sums[fields[7]];
        (kind_of.at(fields[0]) == "program" ? rom : ram) += std::stoll(fields[4]);
    }
    return sums;
}

// armlink's "Image component sizes" gives per object file and library member its code, RO,
// RW and ZI data: program memory holds code, RO data and the initial values of RW data (stored
// uncompressed in this map), RAM the RW and ZI data. The entries of each object add up to it.
TEST(ArmlinkExample, EachObjectsEntriesAddUpToItsImageComponentSizes) {
    const c_temp_dir dir;
    copy_example(dir, "armlink");
    const std::string text = dir.read("armlink/application.map");
    ASSERT_EQ(text.find("compressed"), std::string::npos);
    const auto sums = sums_by_object(dir, "armlink/application.map");
    std::istringstream lines(text);
    std::string line;
    bool in_table = false;
    std::size_t objects = 0;
    while (std::getline(lines, line)) {
        if (line.find("Object Name") != std::string::npos ||
            line.find("Library Member Name") != std::string::npos) {
            in_table = true;
            continue;
        }
        std::istringstream row(line);
        long long code = 0;
        long long inline_data = 0;
        long long ro = 0;
        long long rw = 0;
        long long zi = 0;
        long long debug = 0;
        std::string name;
        if (!in_table || !(row >> code >> inline_data >> ro >> rw >> zi >> debug >> name)) {
            in_table = in_table && line.find("----") == std::string::npos;
            continue;
        }
        const auto found = sums.find(name);
        const std::pair<long long, long long> used =
            found == sums.end() ? std::pair<long long, long long>{0, 0} : found->second;
        EXPECT_EQ(used.first, code + ro + rw) << name;
        EXPECT_EQ(used.second, rw + zi) << name;
        ++objects;
    }
    EXPECT_GE(objects, 10u);
}

// ILINK's module summary gives per module its ro code, ro data and rw data, right-aligned under
// the heading words. RAM holds each module's rw data. Program memory holds its code and
// constants; the summary counts the packed initialisers of its rw data as ro data too, where
// the map's section list has them as "Initializer bytes" of no module: a module without rw
// data has exactly its ro code and ro data, and the others fall short by at most those bytes.
TEST(IarExample, EachModulesEntriesAddUpToItsModuleSummary) {
    const c_temp_dir dir;
    copy_example(dir, "iar");
    const std::string text = dir.read("iar/application.map");
    const auto sums = sums_by_object(dir, "iar/application.map");
    const auto number = [](std::string field) {
        field.erase(std::remove(field.begin(), field.end(), '\''), field.end());
        field.erase(std::remove(field.begin(), field.end(), ' '), field.end());
        return field.empty() ? 0LL : std::stoll(field);
    };
    std::istringstream lines(text.substr(text.find("*** MODULE SUMMARY")));
    std::string line;
    std::size_t ends[3] = {0, 0, 0};
    std::size_t modules = 0;
    long long shortfall = 0;
    while (std::getline(lines, line) && line.find("Gaps:") == std::string::npos) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find("ro code") != std::string::npos) {
            ends[0] = line.find("ro code") + 7;
            ends[1] = line.find("ro data") + 7;
            ends[2] = line.find("rw data") + 7;
            continue;
        }
        const std::size_t name_end = line.find(".o ");
        if (ends[0] == 0 || name_end == std::string::npos || line.find(':') != std::string::npos) {
            continue;
        }
        const std::string name =
            line.substr(line.find_first_not_of(' '), name_end + 2 - line.find_first_not_of(' '));
        line.resize(std::max(line.size(), ends[2]), ' ');
        const long long code = number(line.substr(name_end + 2, ends[0] - name_end - 2));
        const long long ro = number(line.substr(ends[0], ends[1] - ends[0]));
        const long long rw = number(line.substr(ends[1], ends[2] - ends[1]));
        const auto found = sums.find(name);
        const std::pair<long long, long long> used =
            found == sums.end() ? std::pair<long long, long long>{0, 0} : found->second;
        EXPECT_EQ(used.second, rw) << name;
        if (rw == 0) {
            EXPECT_EQ(used.first, code + ro) << name;
        } else {
            EXPECT_LE(used.first, code + ro) << name;
            shortfall += code + ro - used.first;
        }
        ++modules;
    }
    EXPECT_GE(modules, 10u);
    long long initializers = 0;
    std::istringstream csv(
        run_report(dir, {"--map", "iar/application.map", "--format", "csv"}).output);
    while (std::getline(csv, line)) {
        if (line.find(",Initializer bytes,") != std::string::npos) {
            std::vector<std::string> fields;
            std::stringstream row(line);
            for (std::string field; std::getline(row, field, ',');) {
                fields.push_back(field);
            }
            initializers += std::stoll(fields.at(4));
        }
    }
    EXPECT_GT(shortfall, 0);
    EXPECT_LE(shortfall, initializers);
}

}  // namespace
}  // namespace tarvel::test
