// tarvel-report on the maps of the matrix of real builds, checked against the builds' ELF files:
// the bytes each memory region holds by the ELF's section headers must be the area's "used"
// figure in the JSON report (the map's own regions as areas, no definition file), and each
// object file's input sections must add up to what the report credits to that object.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "support/elf_matrix.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

using build_region = std::pair<std::string, std::string>;

// The regions whose figure the Gnu reader gets wrong today. Each must still disagree with the
// ELF file, so that the fix that makes one agree also takes it off this list; the list is to end
// empty.
const std::set<build_region> known_wrong_today{
    // The map prints a "(COPY)" section (the heap and stack reservations of this startup
    // file) like any other, with address and size, and nothing else in it says that the
    // section takes no memory of its own; the reader counts it by its documented rule. Only
    // the ELF file's section flags tell.
    {"arm_cxx_cmsis", "RAM"},
};

// Builds whose link overflows a region on purpose.
const std::set<std::string> overflowing_builds{"arm_overflow"};

// The report's "used" figure of each area; empty when tarvel-report failed.
std::optional<std::map<std::string, std::uint64_t>> report_areas(const std::string& build,
                                                                 nlohmann::json* report_out) {
    const c_temp_dir dir;
    const process_result result =
        run_program(tarvel_report_executable(), {"--map", toolchain_map(build), "--format", "json"},
                    dir.path());
    // A link that overflowed a region ends with exit 1 and still reports every area, the
    // over-full one with what it holds.
    const int expected_exit = overflowing_builds.contains(build) ? 1 : 0;
    EXPECT_EQ(result.exit_code, expected_exit) << build << ": " << result.error_output;
    if (result.exit_code != expected_exit) {
        std::cout << build << ": tarvel-report exit " << result.exit_code << ": "
                  << result.error_output;
        return std::nullopt;
    }
    const nlohmann::json report = nlohmann::json::parse(result.output);
    if (expected_exit == 1) {
        const bool over = std::any_of(report["areas"].begin(), report["areas"].end(),
                                      [](const auto& area) { return area["over"] > 0; });
        EXPECT_TRUE(over) << build << ": no area reported over-full";
    }
    std::map<std::string, std::uint64_t> used;
    std::uint64_t total = 0;
    for (const auto& area : report["areas"]) {
        used[area["name"].get<std::string>()] = area["used"].get<std::uint64_t>();
        total += area["used"].get<std::uint64_t>();
    }
    used["*default*"] = total;  // a map without regions: the whole address space
    if (report_out != nullptr) {
        *report_out = report;
    }
    return used;
}

class ElfMatrixRun : public ::testing::TestWithParam<std::string> {};

TEST_P(ElfMatrixRun, EachRegionUsesWhatTheElfSectionsOccupy) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const std::optional<elf::elf_image> image = read_elf_file(toolchain_elf(build));
    ASSERT_TRUE(image);
    const std::vector<gnu::memory_region> regions = map_regions(read_text(toolchain_map(build)));
    const std::vector<std::uint64_t> truth = elf_region_usage(*image, regions);
    const auto tool = report_areas(build, nullptr);

    for (std::size_t i = 0; i < regions.size(); ++i) {
        const std::string& region = regions[i].name;
        std::optional<std::uint64_t> figure;
        if (tool && tool->contains(region)) {
            figure = tool->at(region);
        }
        const std::string shown = figure ? std::to_string(*figure) : "none";
        if (known_wrong_today.contains({build, region})) {
            std::cout << "known wrong today: " << build << " " << region << ": ELF " << truth[i]
                      << ", tarvel-report " << shown << "\n";
            EXPECT_NE(figure, std::optional<std::uint64_t>(truth[i]))
                << build << " " << region << " now agrees with the ELF file (" << truth[i]
                << "): take it off known_wrong_today";
        } else {
            EXPECT_EQ(figure, std::optional<std::uint64_t>(truth[i]))
                << build << " " << region << ": ELF " << truth[i] << ", tarvel-report " << shown;
        }
    }
}

// The object files the build compiled itself (not the libraries' members, nor LTO's objects).
std::vector<std::filesystem::path> own_objects(const std::string& build) {
    std::vector<std::filesystem::path> objects;
    for (const auto& entry : std::filesystem::directory_iterator(toolchain_dir(build))) {
        if (entry.path().extension() == ".o") {
            objects.push_back(entry.path());
        }
    }
    return objects;
}

// Objects whose figures the Gnu reader gets wrong today, as known_wrong_today.
const std::set<build_region> objects_wrong_today{};

// Builds whose linker relaxes code (RISC-V shortens calls and address loads at link time): an
// input section may be placed smaller than the object file has it, never larger.
const std::set<std::string> relaxing_builds{"riscv_small_data"};

// Each object's allocated input sections that the link kept (not in the map's discarded list)
// add up to the bytes of the report's entries for that object. An input section that is placed
// at one address and stored at another appears twice among the entries, once per address; it
// counts once, as in the object file. Common symbols are no section of the object file (they
// become COMMON in the map), so neither side counts them.
TEST_P(ElfMatrixRun, EachObjectsEntriesAddUpToItsKeptSections) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    if (build.ends_with("_lto")) {
        GTEST_SKIP() << "LTO objects hold no sections of their own";
    }
    const auto discarded = discarded_sections(read_text(toolchain_map(build)));
    nlohmann::json report;
    if (!report_areas(build, &report)) {
        const bool listed =
            std::any_of(known_wrong_today.begin(), known_wrong_today.end(),
                        [&](const build_region& wrong) { return wrong.first == build; });
        ASSERT_TRUE(listed) << "tarvel-report fails on " << build;
        GTEST_SKIP() << "tarvel-report fails on this map, a known fault";
    }
    for (const std::filesystem::path& object : own_objects(build)) {
        const std::string name = object.filename().string();
        const std::optional<elf::elf_image> image = read_elf_file(object);
        ASSERT_TRUE(image);
        std::uint64_t kept = 0;
        for (const elf::section_header& section : image->sections) {
            if (section.allocated() && !discarded.contains({section.name, name})) {
                kept += section.size;
            }
        }
        std::map<std::string, std::uint64_t> by_section;  // once per input section
        for (const auto& entry : report["entries"]) {
            if (entry.value("object", "") == name && entry["name"] != "COMMON") {
                by_section[entry["name"].get<std::string>()] = entry["size"].get<std::uint64_t>();
            }
        }
        std::uint64_t credited = 0;
        for (const auto& [section, size] : by_section) {
            credited += size;
        }
        if (relaxing_builds.contains(build)) {
            EXPECT_LE(credited, kept) << build << " " << name;
            EXPECT_GT(credited, 0u) << build << " " << name;
        } else if (objects_wrong_today.contains({build, name})) {
            std::cout << "object known wrong today: " << build << " " << name << ": sections "
                      << kept << ", tarvel-report " << credited << "\n";
            EXPECT_NE(credited, kept)
                << build << " " << name << " now agrees: take it off the list";
        } else {
            EXPECT_EQ(credited, kept) << build << " " << name;
        }
    }
}

// The `--by object` breakdown is made of the same entries: each object's program and RAM bytes
// add up to its entries, each copy of an input section (run and load address) included.
TEST_P(ElfMatrixRun, ObjectBreakdownAddsUpItsEntries) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    nlohmann::json report;
    if (!report_areas(build, &report)) {
        GTEST_SKIP() << "tarvel-report fails on this map";
    }
    // EEPROM and other areas (AVR's eeprom, fuses) count in neither column of the breakdown.
    std::set<std::string> outside_totals;
    for (const auto& area : report["areas"]) {
        if (area["kind"] != "program" && area["kind"] != "ram") {
            outside_totals.insert(area["name"].get<std::string>());
        }
    }
    std::map<std::string, std::uint64_t> entry_bytes;  // by the breakdown's row name
    for (const auto& entry : report["entries"]) {
        if (entry.contains("area") && entry["area"].is_string() &&
            outside_totals.contains(entry["area"].get<std::string>())) {
            continue;
        }
        // Padding and the linker's own bytes come from no object: their row is "(none)".
        std::string row = entry.value("object", "(none)");
        if (entry.contains("archive")) {
            row = entry["archive"].get<std::string>() + "(" + row + ")";
        }
        // The breakdown adds up the bytes each entry holds, not the size the map lists.
        entry_bytes[row] += entry["counted"].get<std::uint64_t>();
    }
    ASSERT_FALSE(report["breakdowns"]["object"].empty()) << build;
    for (const auto& row : report["breakdowns"]["object"]) {
        const std::string name = row["name"].get<std::string>();
        EXPECT_EQ(row["program"].get<std::uint64_t>() + row["ram"].get<std::uint64_t>(),
                  entry_bytes[name])
            << build << " " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(RealBuilds, ElfMatrixRun, ::testing::ValuesIn(elf_matrix_builds()));

}  // namespace
}  // namespace tarvel::test
