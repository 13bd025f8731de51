#include "mapfile/map_file_armlink.h"

#include <gtest/gtest.h>

#include "mapfile/armlink_map_line.h"
#include "mapfile/vendor_test_support.h"

namespace tarvel {
namespace {

using test::sum_sizes;
using test::vendor_result;

const std::string heading = "Memory Map of the image\n\n";
const std::string columns =
    "    Exec Addr    Load Addr    Size         Type   Attr      Idx    E Section Name        "
    "Object\n\n";

// One flash region and one RAM region with RW data loaded from flash, ZI data and padding.
const std::string two_regions =
    heading +
    "  Load Region LR_IROM1 (Base: 0x08000000, Size: 0x00000130, Max: 0x00010000, ABSOLUTE)\n\n"
    "    Execution Region ER_IROM1 (Exec base: 0x08000000, Load base: 0x08000000, Size: "
    "0x00000120, Max: 0x00010000, ABSOLUTE)\n\n" +
    columns +
    "    0x08000000   0x08000000   0x000000f0   Data   RO            3    RESET               "
    "startup.o\n"
    "    0x080000f0   0x080000f0   0x00000022   Code   RO           17  * !!!main             "
    "c_w.l(__main.o)\n"
    "    0x08000112   0x08000112   0x00000002   PAD\n"
    "    0x08000114   0x08000114   0x0000000c   Code   RO           20    i.main              "
    "main.o\n\n"
    "    Execution Region RW_IRAM1 (Exec base: 0x20000000, Load base: 0x08000120, Size: "
    "0x00000120, Max: 0x00005000, ABSOLUTE)\n\n" +
    columns +
    "    0x20000000   0x08000120   0x00000010   Data   RW           30    .data               "
    "main.o\n"
    "    0x20000010        -       0x00000100   Zero   RW           31    .bss                "
    "main.o\n"
    "    0x20000110        -       0x00000010   PAD\n\n";

const std::string totals =
    "    Total RO  Size (Code + RO Data)                  288 (   0.28kB)\n"
    "    Total RW  Size (RW Data + ZI Data)               288 (   0.28kB)\n"
    "    Total ROM Size (Code + RO Data + RW Data)        304 (   0.30kB)\n";

class ArmlinkParse : public ::testing::Test {
  protected:
    ArmlinkParse() {
        def.program = {{0x08000000, 0x10000, no_area}};
        def.memory = {{0x20000000, 0x5000, no_area}};
    }
    vendor_result read(const std::string& map) {
        return test::read_vendor_map<c_map_file_armlink>(def, map);
    }
    c_memory_def def;
};

TEST_F(ArmlinkParse, RowsCountAtTheirAddressesAndRwDataAlsoWhereItIsLoaded) {
    const vendor_result r = read(two_regions + totals);
    ASSERT_TRUE(r.placed.result);
    EXPECT_EQ(r.counts.damaged_lines, 0u) << r.counts.first_damage;
    // ROM: RO rows and padding (288) and the initial values of .data at 0x08000120.
    EXPECT_EQ(sum_sizes(r.placed.program), 304u);
    EXPECT_EQ(sum_sizes(r.placed.memory), 288u);
    const c_map_entry& copy = r.placed.program.back();
    EXPECT_EQ(copy.name, ".data");
    EXPECT_EQ(copy.address, 0x08000120u);
    EXPECT_EQ(r.origin_of(copy), "main.o");
    // The library member, the padding without origin.
    EXPECT_EQ(r.origin_of(r.placed.program[1]), "c_w.l(__main.o)");
    EXPECT_EQ(r.placed.program[2].name, "PAD");
    EXPECT_EQ(r.origin_of(r.placed.program[2]), "");
}

TEST_F(ArmlinkParse, TotalsThatDifferFromTheRowsMarkTheMapDamaged) {
    // A row lost: the totals name it, at the first total that disagrees.
    std::string map = two_regions + "\n" + totals;
    const std::size_t row = map.find("    0x08000114");
    map.erase(row, map.find('\n', row) + 1 - row);
    const vendor_result r = read(map);
    EXPECT_EQ(r.counts.damaged_lines, 2u);  // RO and ROM; RW still holds
    EXPECT_NE(r.counts.first_damage.find("Total RO Size 288, the rows give 276"), std::string::npos)
        << r.counts.first_damage;

    // The Grand Totals of the component sizes are checked the same way.
    const std::string grand =
        "Image component sizes\n\n"
        "       290          0        240         16        256          0   Grand Totals\n";
    EXPECT_EQ(read(two_regions + grand).counts.damaged_lines, 1u);
    const std::string right =
        "Image component sizes\n\n"
        "        48          0        240         16        272          0   Grand Totals\n";
    EXPECT_EQ(read(two_regions + right).counts.damaged_lines, 0u);
}

TEST_F(ArmlinkParse, ALineInARegionTableThatIsNoRowIsDamage) {
    std::string map = two_regions;
    map.replace(map.find("Code   RO           20"), 4, "Cod3");
    const vendor_result r = read(map);
    EXPECT_EQ(r.counts.damaged_lines, 1u);
    EXPECT_EQ(r.counts.first_damaged_line, 12u);
}

TEST_F(ArmlinkParse, CompressedRwDataCountsWithTheSizeTheRegionStates) {
    const std::string map =
        heading +
        "    Execution Region ER_IROM1 (Exec base: 0x08000000, Load base: 0x08000000, Size: "
        "0x00000100, Max: 0x00010000, ABSOLUTE)\n" +
        "    0x08000000   0x08000000   0x00000100   Code   RO            3    .text  main.o\n"
        "    Execution Region RW_IRAM1 (Exec base: 0x20000000, Load base: 0x08000100, Size: "
        "0x00000040, Max: 0x00005000, ABSOLUTE, COMPRESSED[0x00000014])\n" +
        "    0x20000000   COMPRESSED   0x00000040   Data   RW            4    .data  main.o\n"
        "    Total ROM Size (Code + RO Data + RW Data)        276 (   0.27kB)\n";
    const vendor_result r = read(map);
    EXPECT_EQ(r.counts.damaged_lines, 0u) << r.counts.first_damage;
    ASSERT_EQ(r.placed.program.size(), 2u);
    EXPECT_EQ(r.placed.program[1].name, "RW_IRAM1");
    EXPECT_EQ(r.placed.program[1].address, 0x08000100u);
    EXPECT_EQ(r.placed.program[1].size, 0x14u);
    EXPECT_EQ(sum_sizes(r.placed.memory), 0x40u);
}

TEST_F(ArmlinkParse, MapsOfOneAddressColumnLoadRwDataAfterTheRegionsBefore) {
    const std::string map =
        heading +
        "  Load Region LR_1 (Base: 0x08000000, Size: 0x00000108, Max: 0x00010000, ABSOLUTE)\n"
        "    Execution Region ER_RO (Base: 0x08000000, Size: 0x00000100, Max: 0x00010000, "
        "ABSOLUTE)\n"
        "    Base Addr    Size         Type   Attr      Idx    E Section Name        Object\n"
        "    0x08000000   0x00000100   Code   RO            1    .text               main.o\n"
        "    Execution Region ER_RW (Base: 0x20000000, Size: 0x00000028, Max: 0x00005000, "
        "ABSOLUTE)\n"
        "    0x20000000   0x00000008   Data   RW            2    .data               main.o\n"
        "    0x20000008   0x00000020   Zero   RW            3    .bss                main.o\n";
    const vendor_result r = read(map);
    ASSERT_EQ(r.placed.program.size(), 2u);
    EXPECT_EQ(r.placed.program[1].address, 0x08000100u);
    EXPECT_EQ(r.placed.program[1].size, 8u);
    EXPECT_EQ(sum_sizes(r.placed.memory), 0x28u);
}

TEST(ArmlinkAreas, ExecutionRegionsWithTheirMaximumRamWhenTheyHoldRwOrZiData) {
    const c_memory_def def = test::map_areas<c_map_file_armlink>(two_regions);
    ASSERT_TRUE(def.loaded);
    ASSERT_EQ(def.program.size(), 1u);
    EXPECT_EQ(def.program[0].start, 0x08000000u);
    EXPECT_EQ(def.program[0].size, 0x10000u);
    EXPECT_EQ(def.program_names[0], "ER_IROM1");
    ASSERT_EQ(def.memory.size(), 1u);
    EXPECT_EQ(def.memory[0].size, 0x5000u);
    EXPECT_EQ(def.memory_names[0], "RW_IRAM1");
    EXPECT_FALSE(test::map_areas<c_map_file_armlink>("Image component sizes\n").loaded);
}

TEST(ArmlinkLines, RegionHeadersAndRowsOfBothLayouts) {
    armlink::region_header header;
    ASSERT_TRUE(armlink::read_region_header(
        "    Execution Region RW_IRAM1 (Exec base: 0x20000000, Load base: 0x08000664, Size: "
        "0x00000468, Max: 0xffffffff, ABSOLUTE, COMPRESSED[0x0000001c])",
        header));
    EXPECT_EQ(header.name, "RW_IRAM1");
    EXPECT_EQ(header.max, 0xFFFFFFFFu);
    EXPECT_TRUE(header.compressed);
    EXPECT_EQ(header.compressed_size, 0x1Cu);
    EXPECT_FALSE(armlink::read_region_header("    Execution Region X (Size: 0x4)", header));

    armlink::section_row row;
    ASSERT_TRUE(armlink::read_section_row(
        "    0x0800013c   0x0800013c   0x00000000   Code   RO          352  * "
        ".ARM.Collect$$$$00000000  mc_w.l(entry.o)",
        row));
    EXPECT_EQ(row.name, ".ARM.Collect$$$$00000000");
    EXPECT_EQ(row.object, "mc_w.l(entry.o)");
    ASSERT_TRUE(armlink::read_section_row("    0x20000010        -       0x00000004   PAD", row));
    EXPECT_TRUE(row.dash);
    EXPECT_FALSE(armlink::read_section_row("    0x08000000   0x00000100   Code   RO", row));
    EXPECT_FALSE(armlink::read_section_row("    Symbol Name    Value", row));

    armlink::total_kind kind{};
    std::uint64_t bytes = 0;
    ASSERT_TRUE(armlink::read_total_line(
        "    Total ROM Size (Code + RO Data + RW Data)        964 (   0.94kB)", kind, bytes));
    EXPECT_EQ(kind, armlink::total_kind::rom);
    EXPECT_EQ(bytes, 964u);
}

}  // namespace
}  // namespace tarvel
