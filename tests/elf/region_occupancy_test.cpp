// The occupied bytes of address ranges: run and load images, overlays, TLS and sections that
// occupy no memory.
#include "elf/region_occupancy.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvel::test {
namespace {

using elf::address_range;
using elf::section_header;

section_header make(std::uint32_t type, std::uint64_t flags, std::uint64_t address,
                    std::uint64_t size, std::uint64_t load_address) {
    section_header s;
    s.type = type;
    s.flags = flags;
    s.address = address;
    s.size = size;
    s.load_address = load_address;
    return s;
}

constexpr std::uint64_t alloc = elf::shf_alloc;
constexpr std::uint64_t alloc_write = elf::shf_alloc | elf::shf_write;
constexpr std::uint64_t alloc_write_tls = alloc_write | elf::shf_tls;

const std::vector<address_range> flash_and_ram{{0x08000000, 0x10000}, {0x20000000, 0x5000}};

std::vector<std::uint64_t> occupied(const std::vector<section_header>& sections,
                                    const std::vector<address_range>& ranges = flash_and_ram) {
    return elf::occupied_bytes(sections, ranges);
}

TEST(RegionOccupancy, DataCountsWhereItRunsAndWhereItIsStored) {
    const std::vector<section_header> sections{
        make(elf::sht_progbits, alloc, 0x08000000, 0x100, 0x08000000),
        make(elf::sht_progbits, alloc_write, 0x20000000, 0x20, 0x08000100),
        make(elf::sht_nobits, alloc_write, 0x20000020, 0x40, 0x20000020)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0x120, 0x60}));
}

// Code copied to RAM counts in RAM and in flash, whatever its flags say.
TEST(RegionOccupancy, CodeRunFromRamCountsInBothRegions) {
    const std::vector<section_header> sections{
        make(elf::sht_progbits, alloc | elf::shf_execinstr, 0x20000000, 0x30, 0x08000000)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0x30, 0x30}));
}

// The members of an overlay share their run address: RAM holds the largest, flash all.
TEST(RegionOccupancy, OverlaysShareTheirRunAddress) {
    const std::vector<section_header> sections{
        make(elf::sht_progbits, alloc, 0x20000000, 0x10, 0x08000000),
        make(elf::sht_progbits, alloc, 0x20000000, 0x18, 0x08000010)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0x28, 0x18}));
}

TEST(RegionOccupancy, TbssAndUnallocatedSectionsOccupyNothing) {
    const std::vector<section_header> sections{
        make(elf::sht_progbits, alloc_write_tls, 0x20000000, 0x4, 0x08000000),  // .tdata
        make(elf::sht_nobits, alloc_write_tls, 0x20000004, 0x20, 0x20000004),   // .tbss
        make(elf::sht_progbits, 0, 0x08000000, 0x500, 0x08000000),              // .comment
        make(elf::sht_null, alloc, 0x08000000, 0x500, 0x08000000)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{4, 4}));
}

// A NOBITS section given a load address (AT> FLASH on .bss) stores nothing there.
TEST(RegionOccupancy, NoContentsNoLoadImage) {
    const std::vector<section_header> sections{
        make(elf::sht_nobits, alloc_write, 0x20000000, 0x40, 0x08000000)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0, 0x40}));
}

// An overflowing section counts whole where it begins, and nothing in the range it runs into.
TEST(RegionOccupancy, SectionCountsWholeInTheRangeWhereItBegins) {
    const std::vector<section_header> sections{
        make(elf::sht_nobits, alloc_write, 0x20000000, 0x6000, 0x20000000),
        make(elf::sht_progbits, alloc, 0x07fffff0, 0x20, 0x07fffff0),
        make(elf::sht_progbits, alloc, 0x00000000, 0x1000, 0x00000000)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0, 0x6000}));
}

// The sections ld placed after an overflowing one begin past the region's end: they count in
// it, up to a gap no alignment makes; sections far beyond, or in another range, do not.
TEST(RegionOccupancy, SectionsPlacedPastAnOverflowingRegionCountInIt) {
    const std::vector<section_header> sections{
        make(elf::sht_nobits, alloc_write, 0x20000000, 0x6000, 0x20000000),  // .bss
        make(elf::sht_nobits, alloc_write, 0x20006000, 0x200, 0x20006000),   // .heap
        make(elf::sht_nobits, alloc_write, 0x20006208, 0x400, 0x20006208),   // .stack
        make(elf::sht_progbits, alloc_write, 0x30000000, 0x10, 0x30000000)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0, 0x6600}));
    // A region that fits claims nothing beyond its end.
    EXPECT_EQ(occupied({sections[1]}, {{0x20000000, 0x6000}}), (std::vector<std::uint64_t>{0}));
    // Past the end of one range, the next range's own sections stay its own.
    const std::vector<section_header> adjacent{
        make(elf::sht_progbits, alloc, 0x08000000, 0x120, 0x08000000),
        make(elf::sht_progbits, alloc, 0x08000120, 0x40, 0x08000120)};
    EXPECT_EQ(occupied(adjacent, {{0x08000000, 0x100}, {0x08000120, 0x100}}),
              (std::vector<std::uint64_t>{0x120, 0x40}));
}

// Overlapping sections in one range count each byte once, also when one lies inside another.
TEST(RegionOccupancy, NestedAndChainedOverlapsCountOnce) {
    const std::vector<section_header> sections{
        make(elf::sht_progbits, alloc, 0x08000000, 0x100, 0x08000000),
        make(elf::sht_progbits, alloc, 0x08000010, 0x10, 0x08000010),
        make(elf::sht_progbits, alloc, 0x080000f0, 0x20, 0x080000f0),
        make(elf::sht_progbits, alloc, 0x08000200, 0x8, 0x08000200)};
    EXPECT_EQ(occupied(sections), (std::vector<std::uint64_t>{0x118, 0}));
}

TEST(RegionOccupancy, SectionAtTheTopOfTheAddressSpaceDoesNotWrap) {
    const std::vector<section_header> sections{
        make(elf::sht_progbits, alloc, 0xffff'ffff'ffff'fff0, 0x100, 0xffff'ffff'ffff'fff0)};
    EXPECT_EQ(occupied(sections, {{0, 0x100}, {0xffff'ffff'ffff'ff00, 0x100}}),
              (std::vector<std::uint64_t>{0, 0xf}));
    EXPECT_EQ(occupied(sections, {{0xffff'ffff'ffff'fff8, 0x100}}),
              (std::vector<std::uint64_t>{0}));
}

}  // namespace
}  // namespace tarvel::test
