// A large lld map is read in two parts on two threads: the later part from the first output
// section's row after the split point. Whatever line that is, the figures must be those of
// one reader that reads the whole map.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "mapfile/map_file_lld.h"
#include "support/random_maps.h"
#include "support/split_read.h"

namespace tarvel {
namespace {

std::string row(std::uint64_t vma, std::uint64_t lma, std::uint64_t size, int align,
                const std::string& text) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%8llx %8llx %8llx %5d ",
                  static_cast<unsigned long long>(vma), static_cast<unsigned long long>(lma),
                  static_cast<unsigned long long>(size), align);
    return numbers + text + "\n";
}

// Output sections of every kind the reader treats apart: streamed ones with merged, empty and
// uncovered pieces, one held for its load image, one never loaded, zero data, one in no area
// and one beyond 32 bits; files first named late in the map; a damaged line; and a cross
// reference table after which nothing counts.
std::string sample_map(std::uint64_t seed) {
    test::c_random random(seed);
    std::string map = "     VMA      LMA     Size Align Out     In      Symbol\n";
    map += row(0, 0, 0x8000000, 1, ". = 0x08000000");
    const char* files[] = {"a.o", "libx.a(y.o)", "<internal>", "late.o", "libz.a(w.o)"};
    struct section_kind {
        const char* name;
        std::uint64_t address;
        std::uint64_t load;  // 0: none of its own
    };
    const section_kind sections[] = {
        {".text", 0x08000000, 0},   {".comment", 0, 0},
        {".rodata", 0x08004000, 0}, {".data", 0x20000000, 0x8008000},
        {".bss", 0x20000400, 0},    {".ext", 0x30000000, 0},
        {".far", 0x100000000, 0},   {".text.more", 0x08009000, 0},
    };
    int section_number = 0;
    for (const section_kind& section : sections) {
        std::string rows;
        std::uint64_t cursor = section.address;
        const int pieces = 2 + static_cast<int>(random.below(12));
        for (int i = 0; i < pieces; ++i) {
            std::uint64_t address = cursor;
            const std::uint32_t kind = random.below(8);
            if (kind == 0 && cursor > section.address) {
                address = cursor - 1 - random.below(4);  // inside the last: merged strings
            } else if (kind == 1) {
                address += random.below(8);  // a gap that no row accounts for
            }
            const std::uint64_t size = kind == 2 ? 0 : 1 + random.below(0x40);
            const std::uint64_t load =
                section.load ? section.load + (address - section.address) : address;
            const char* file = files[(section_number > 3 ? 3 : 0) + random.below(2)];
            rows += row(address, load, size, 4,
                        std::string("        ") + file + ":(" + section.name + "." +
                            std::to_string(i) + ")");
            rows += row(address, load, 0, 1, "                symbol_" + std::to_string(i));
            if (section_number == 2 && i == 1) {
                rows += " 8004000  8004000   garbage\n";
            }
            cursor = std::max(cursor, address + size);
        }
        const std::uint64_t size = cursor - section.address + random.below(3);
        map += row(section.address, section.load ? section.load : section.address, size, 4,
                   section.name);
        map += rows;
        ++section_number;
    }
    map += "\nSymbol                                File\n";
    map += row(0x08000000, 0x08000000, 0x40, 4, ".after");
    map += row(0x08000000, 0x08000000, 0x40, 4, "        a.o:(.after)");
    return map;
}

TEST(LldSplit, EveryPointOfSplitGivesTheFiguresOfOneReader) {
    c_memory_def def;
    def.program = {{0x08000000, 0x10000, no_area}};
    def.memory = {{0x20000000, 0x1000, no_area}};
    for (std::uint64_t seed = 1; seed <= 6; ++seed) {
        const std::string map = sample_map(seed);
        for (const bool sums_only : {false, true}) {
            const std::string whole =
                test::everything_read<c_map_file_lld>(map, def, test::read_whole(), sums_only);
            ASSERT_NE(whole.find("damaged 1"), std::string::npos) << whole;
            // From each line on, the later part begins at the next section's row.
            for (std::uint64_t from = 1; from < map.size(); ++from) {
                if (map[from - 1] != '\n') {
                    continue;
                }
                ASSERT_EQ(test::everything_read<c_map_file_lld>(map, def, test::split_after(from),
                                                                sums_only),
                          whole)
                    << "seed " << seed << ", split after " << from << ", sums only " << sums_only;
            }
        }
    }
}

// A map whose heading lies after the split point, or without an output section's row after
// it, is read by one reader; so is a pipe or a map below the size that pays for a thread.
TEST(LldSplit, MapsThatCannotBeSplitAreReadWhole) {
    c_memory_def def;
    def.program = {{0x08000000, 0x10000, no_area}};
    const std::string table = row(0x08000000, 0x08000000, 8, 4, ".text") +
                              row(0x08000000, 0x08000000, 8, 4, "        a.o:(.text.f)");
    const std::string late_heading = std::string(4000, '\n') +
                                     "     VMA      LMA     Size Align Out     In      Symbol\n" +
                                     table;
    const std::string whole =
        test::everything_read<c_map_file_lld>(late_heading, def, test::read_whole(), false);
    EXPECT_NE(whole.find(".text.f @134217728 +8/0 in 0 from |a.o"), std::string::npos) << whole;
    EXPECT_EQ(
        test::everything_read<c_map_file_lld>(late_heading, def, test::split_after(100), false),
        whole);
    const std::string no_row_after = "     VMA      LMA     Size Align Out     In      Symbol\n" +
                                     table + std::string(4000, ' ') + "\n";
    EXPECT_EQ(
        test::everything_read<c_map_file_lld>(no_row_after, def, test::split_after(200), false),
        test::everything_read<c_map_file_lld>(no_row_after, def, test::read_whole(), false));
}

}  // namespace
}  // namespace tarvel
