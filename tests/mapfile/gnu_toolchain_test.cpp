// The Gnu reader on the maps of real Arm and AVR builds: the regions of each map's own
// "Memory Configuration" give ROM and RAM used exactly as the toolchain's `size -B` reports
// them, and each object file's entries add up to what `size -B` reports for that object.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "mapfile/map_file_gnu.h"
#include "support/reader_fixture.h"
#include "support/toolchain_maps.h"

namespace tarvel {
namespace {

using test::berkeley_size;
using test::toolchain_builds;

std::uint64_t sum(const c_entry_list& entries) {
    std::uint64_t total = 0;
    for (const c_map_entry& entry : entries) {
        total += entry.size;
    }
    return total;
}

// The name an origin has in `size` output ("uart.o") and in the map ("libhal.a(uart.o)").
std::string map_name(const entry_origin& origin) {
    return origin.archive.empty() ? origin.object : origin.archive + "(" + origin.object + ")";
}

// The bytes of the map's "Discarded input sections" part, by the file named there. Read here
// with a parser of its own, since the reader skips that part.
std::map<std::string, std::uint64_t> discarded_by_file(const std::string& map) {
    std::map<std::string, std::uint64_t> sizes;
    std::ifstream in(map);
    std::string line;
    bool in_part = false;
    while (std::getline(in, line)) {
        if (line == "Discarded input sections") {
            in_part = true;
            continue;
        }
        if (!line.empty() && line[0] != ' ') {
            in_part = false;
        }
        std::istringstream fields(line);
        std::vector<std::string> tokens;
        for (std::string token; fields >> token;) {
            tokens.push_back(token);
        }
        const auto number = std::find_if(tokens.begin(), tokens.end(), [](const std::string& t) {
            return t.rfind("0x", 0) == 0;
        });
        if (!in_part || tokens.end() - number < 3) {
            continue;
        }
        std::string file = *(number + 2);
        for (auto rest = number + 3; rest != tokens.end(); ++rest) {
            file += " " + *rest;
        }
        sizes[file] += std::stoull(*(number + 1), nullptr, 16);
    }
    return sizes;
}

struct parsed_build {
    c_memory_def def;
    c_entry_list program;
    c_entry_list memory;
    std::vector<entry_origin> origins;
    reader_counts counts;
    bool defined = false;
    bool result = false;
};

parsed_build parse_build(const std::string& build) {
    parsed_build parsed;
    c_map_file_gnu reader(text_source::file(test::toolchain_map(build)));
    parsed.defined = reader.define_areas(parsed.def);
    parsed.result = test::placed_any(reader.parse(parsed.def, parsed.program, parsed.memory));
    parsed.origins = reader.origins();
    parsed.counts = reader.counts();
    return parsed;
}

class GnuToolchainMap : public ::testing::TestWithParam<std::string> {};

TEST_P(GnuToolchainMap, OwnRegionsGiveTheFiguresOfSize) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const berkeley_size size = test::program_size(build);
    ASSERT_GT(size.text, 0u) << "no size figures for " << build;
    const parsed_build parsed = parse_build(build);
    ASSERT_TRUE(parsed.defined);
    ASSERT_TRUE(parsed.result);
    EXPECT_EQ(sum(parsed.program), size.rom()) << build << ": text + data";
    EXPECT_EQ(sum(parsed.memory), size.ram()) << build << ": data + bss";
    EXPECT_EQ(parsed.counts.unplaced, 0u);
    // Debugging information is there in every build, and counted nowhere.
    const auto& dropped = parsed.counts.dropped;
    EXPECT_TRUE(std::any_of(dropped.begin(), dropped.end(), [](const drop_count& d) {
        return d.rule.find("debugging") != std::string::npos && d.count > 0;
    }));
}

TEST_P(GnuToolchainMap, EachObjectAddsUpToItsOwnSize) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const std::string build = GetParam();
    const parsed_build parsed = parse_build(build);
    ASSERT_TRUE(parsed.result);

    // The initial values of data are counted twice: in RAM and again in program memory with
    // the same name and origin. An object's own bytes are counted once here, without the
    // COMMON symbols, which `size` does not count for an object file.
    std::multiset<std::tuple<std::string, std::uint32_t, std::uint32_t>> in_ram;
    std::map<std::string, std::uint64_t> by_object;
    for (const c_map_entry& entry : parsed.memory) {
        in_ram.emplace(entry.name, entry.origin, entry.size);
    }
    const auto add = [&](const c_map_entry& entry) {
        // An object's own size is that before ld merged its constants with others'.
        if (entry.origin != no_origin && entry.name != "COMMON") {
            by_object[map_name(parsed.origins.at(entry.origin))] += entry.listed_size();
        }
    };
    for (const c_map_entry& entry : parsed.memory) {
        add(entry);
    }
    for (const c_map_entry& entry : parsed.program) {
        const auto twin = in_ram.find({std::string(entry.name), entry.origin, entry.size});
        if (twin != in_ram.end()) {
            in_ram.erase(twin);
        } else {
            add(entry);
        }
    }

    const auto discarded = discarded_by_file(test::toolchain_map(build));
    const auto objects = test::read_size_file(test::toolchain_dir(build) / "objects.size");
    ASSERT_GE(objects.size(), 4u);
    for (const auto& [object, size] : objects) {
        const std::string name =
            object == "uart.o" || object == "crc.o" ? "libhal.a(" + object + ")" : object;
        const auto lost = discarded.find(name);
        EXPECT_EQ(by_object[name] + (lost == discarded.end() ? 0 : lost->second), size.total())
            << build << ": " << name;
    }
    if (build != "arm_flash_ram") {  // the builds with --gc-sections
        EXPECT_GT(discarded.at("main.o"), 0u);
    }
}

TEST_P(GnuToolchainMap, OriginsAreDistinctObjectArchivePairs) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const parsed_build parsed = parse_build(GetParam());
    std::set<std::pair<std::string, std::string>> seen;
    for (const entry_origin& origin : parsed.origins) {
        EXPECT_TRUE(seen.emplace(origin.object, origin.archive).second) << map_name(origin);
    }
    EXPECT_TRUE(seen.count({"uart.o", "libhal.a"}));
    EXPECT_TRUE(seen.count({"main.o", ""}));
    // The C library's or the compiler's own archive members (memcpy, the AVR start-up
    // helpers) are named with their archives' paths.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const auto& origin) {
        return origin.second.size() > std::string("libhal.a").size() &&
               origin.second.find('/') != std::string::npos;
    }));
}

INSTANTIATE_TEST_SUITE_P(RealBuilds, GnuToolchainMap, ::testing::ValuesIn(toolchain_builds()));

TEST(GnuToolchainRegions, ArmAndAvrRegionsByTheirAttributes) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    const parsed_build arm = parse_build("arm_flash_ram");
    EXPECT_EQ(arm.def.program_names, std::vector<std::string>{"FLASH"});
    EXPECT_EQ(arm.def.memory_names, std::vector<std::string>{"RAM"});
    ASSERT_EQ(arm.def.program.size(), 1u);
    EXPECT_EQ(arm.def.program[0].start, 0x08000000u);
    EXPECT_EQ(arm.def.program[0].size, 0x10000u);
    EXPECT_EQ(arm.def.memory.at(0).size, 0x5000u);

    // ld's own AVR script: "rw !x" for data and the EEPROM, fuse and signature spaces, with
    // 64-bit addresses; only data is RAM.
    const parsed_build avr = parse_build("avr_atmega328p");
    EXPECT_EQ(avr.def.program_names, std::vector<std::string>{"text"});
    EXPECT_EQ(avr.def.memory_names, std::vector<std::string>{"data"});
    EXPECT_EQ(avr.def.eeprom_names, std::vector<std::string>{"eeprom"});
    for (const std::string& name : avr.def.other_names) {
        EXPECT_TRUE(name == "fuse" || name == "lock" || name == "signature" ||
                    name == "user_signatures")
            << name;
    }
    EXPECT_EQ(avr.def.memory[0].start, 0x800100u);
    EXPECT_EQ(avr.def.memory[0].size, 0x800u);
}

}  // namespace
}  // namespace tarvel
