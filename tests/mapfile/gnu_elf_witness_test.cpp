#include "mapfile/gnu_elf_witness.h"

#include <gtest/gtest.h>

#include <map>

#include "mapfile/map_file_gnu.h"
#include "support/reader_fixture.h"

namespace tarvel {
namespace {

// A small map of flash and RAM: code, initialised data copied from flash, zero data, a stack
// reservation and thread-local zero data.
const std::string map_text =
    "Memory Configuration\n"
    "\n"
    "Name             Origin             Length             Attributes\n"
    "FLASH            0x08000000         0x00010000         xr\n"
    "RAM              0x20000000         0x00002000         rw!x\n"
    "*default*        0x00000000         0xffffffff\n"
    "\n"
    "Linker script and memory map\n"
    "\n"
    ".text           0x08000000       0x20\n"
    " .text.a        0x08000000       0x10 a.o\n"
    " .text.b        0x08000010       0x10 b.o\n"
    "\n"
    ".data           0x20000000        0x8 load address 0x08000020\n"
    " .data          0x20000000        0x8 a.o\n"
    "\n"
    ".bss            0x20000008       0x10\n"
    " .bss           0x20000008       0x10 a.o\n"
    "\n"
    ".stack          0x20000018      0x100\n"
    " .stack         0x20000018      0x100 a.o\n"
    "\n"
    ".tls_zero       0x20000118        0x8\n"
    " .tbss          0x20000118        0x8 a.o\n";

elf::section_header section(std::string name, std::uint64_t address, std::uint64_t size,
                            std::uint32_t type = elf::sht_progbits,
                            std::uint64_t flags = elf::shf_alloc) {
    elf::section_header header;
    header.name = std::move(name);
    header.address = address;
    header.load_address = address;
    header.size = size;
    header.type = type;
    header.flags = flags;
    return header;
}

// The ELF that agrees with the map.
std::vector<elf::section_header> agreeing_elf() {
    std::vector<elf::section_header> sections = {
        section("", 0, 0, elf::sht_null, 0),
        section(".text", 0x08000000, 0x20, elf::sht_progbits, elf::shf_alloc | elf::shf_execinstr),
        section(".data", 0x20000000, 0x8, elf::sht_progbits, elf::shf_alloc | elf::shf_write),
        section(".bss", 0x20000008, 0x10, elf::sht_nobits, elf::shf_alloc | elf::shf_write),
        section(".stack", 0x20000018, 0x100, elf::sht_nobits, elf::shf_alloc | elf::shf_write),
        section(".tls_zero", 0x20000118, 0x8, elf::sht_nobits,
                elf::shf_alloc | elf::shf_write | elf::shf_tls),
        section(".comment", 0, 0x20, elf::sht_progbits, 0)};
    sections[2].load_address = 0x08000020;
    return sections;
}

struct counted {
    std::uint64_t program = 0;
    std::uint64_t ram = 0;
    std::map<std::string, std::uint64_t> by_name;  // "name@address" of every placed entry
    bool parsed = false;
};

counted read_with(gnu::c_elf_witness* witness, const std::string& text = map_text) {
    c_map_file_gnu reader(text_source::text(text));
    c_memory_def def;
    EXPECT_TRUE(reader.define_areas(def));
    reader.set_elf_witness(witness);
    c_entry_list program;
    c_entry_list memory;
    counted result;
    result.parsed = test::placed_any(reader.parse(def, program, memory));
    const auto add = [&](std::uint64_t& total) {
        return [&](const c_map_entry& entry) {
            total += entry.size;
            char address[16];
            std::snprintf(address, sizeof address, "%x", entry.address);
            result.by_name[std::string(entry.name) + "@" + address] += entry.size;
        };
    };
    program.for_each_unordered(add(result.program));
    memory.for_each_unordered(add(result.ram));
    return result;
}

TEST(GnuElfWitness, AnAgreeingElfDecidesWhatTheMapCannotTell) {
    gnu::c_elf_witness witness(agreeing_elf());
    const counted with = read_with(&witness);
    witness.finish();
    EXPECT_TRUE(witness.disagreement().empty());
    EXPECT_TRUE(witness.warnings().empty());
    ASSERT_TRUE(with.parsed);
    EXPECT_EQ(with.program, 0x20u + 0x8u);  // code and the initial values of .data
    // .data and .bss; the stack is NOBITS but takes room; thread-local zero data takes none.
    EXPECT_EQ(with.ram, 0x8u + 0x10u + 0x100u);
}

TEST(GnuElfWitness, SectionsAreCutToTheElfSizeOrMadeUpToIt) {
    std::vector<elf::section_header> sections = agreeing_elf();
    sections[1].size = 0x18;  // relaxation shrank the code: the last piece is cut
    gnu::c_elf_witness witness(sections);
    counted cut = read_with(&witness);
    witness.finish();
    EXPECT_TRUE(witness.disagreement().empty());
    EXPECT_EQ(cut.by_name[".text.a@8000000"], 0x10u);
    EXPECT_EQ(cut.by_name[".text.b@8000010"], 0x8u);
    EXPECT_EQ(cut.program, 0x18u + 0x8u);

    // The pieces listed leave the end uncovered: a piece named after the section holds it.
    const std::string shorter = [] {
        std::string text = map_text;
        text.replace(text.find(" .text.b        0x08000010       0x10 b.o\n"),
                     std::string(" .text.b        0x08000010       0x10 b.o\n").size(),
                     " .text.b        0x08000010        0x4 b.o\n");
        return text;
    }();
    gnu::c_elf_witness made_up(agreeing_elf());
    counted rest = read_with(&made_up, shorter);
    EXPECT_EQ(rest.by_name[".text@8000014"], 0xcu);
    EXPECT_EQ(rest.program, 0x20u + 0x8u);
}

TEST(GnuElfWitness, TheElfDecidesAllocationContentsAndLoadAddress) {
    std::vector<elf::section_header> sections = agreeing_elf();
    sections[4].flags = 0;                  // the stack is a COPY section: never allocated
    sections[2].load_address = 0x08000100;  // the program headers place .data's image
    gnu::c_elf_witness witness(sections);
    counted moved = read_with(&witness);
    EXPECT_EQ(moved.ram, 0x8u + 0x10u);
    EXPECT_EQ(moved.by_name[".data@8000100"], 0x8u);
    EXPECT_EQ(moved.by_name.count(".data@8000020"), 0u);

    // NOBITS: no load image, whatever load address the map prints.
    sections = agreeing_elf();
    sections[2].type = elf::sht_nobits;
    gnu::c_elf_witness nobits(sections);
    EXPECT_EQ(read_with(&nobits).program, 0x20u);

    // Thread-local data with contents takes room like any data.
    sections = agreeing_elf();
    sections[5].type = elf::sht_progbits;
    gnu::c_elf_witness tdata(sections);
    EXPECT_EQ(read_with(&tdata).ram, 0x8u + 0x10u + 0x100u + 0x8u);
}

TEST(GnuElfWitness, SectionsInOneWitnessOnlyAreNamedInWarnings) {
    std::vector<elf::section_header> sections = agreeing_elf();
    sections.erase(sections.begin() + 3);  // no .bss in the ELF
    sections.push_back(section(".extra", 0x08000028, 0x4));
    sections.push_back(section(".empty", 0x08000028, 0));
    gnu::c_elf_witness witness(sections);
    const counted result = read_with(&witness);
    witness.finish();
    EXPECT_TRUE(witness.disagreement().empty());
    EXPECT_EQ(witness.warnings(),
              (std::vector<std::string>{
                  "the output section '.bss' of the map is not in the ELF; its figures are the "
                  "map's",
                  "the ELF's section '.extra' (4 bytes) is not in the map; it is not counted"}));
    EXPECT_EQ(result.ram, 0x8u + 0x10u + 0x100u);  // .bss as the map says
}

TEST(GnuElfWitness, AnElfOfAnotherBuildNamesTheFirstDisagreement) {
    std::vector<elf::section_header> sections = agreeing_elf();
    sections[3].address = 0x20000010;
    sections[4].address = 0x20000020;
    gnu::c_elf_witness moved(sections);
    read_with(&moved);
    moved.finish();
    EXPECT_EQ(moved.disagreement(),
              "the output section '.bss' is at 0x20000008 in the map and at 0x20000010 in the ELF");

    sections = agreeing_elf();
    sections[1].size = 0x24;  // merging never makes a section larger
    gnu::c_elf_witness larger(sections);
    read_with(&larger);
    larger.finish();
    EXPECT_EQ(larger.disagreement(),
              "the output section '.text' has 32 bytes in the map and 36 in the ELF");

    gnu::c_elf_witness other(
        {section("", 0, 0, elf::sht_null, 0), agreeing_elf()[1], section(".vectors", 0x0, 0x40)});
    read_with(&other);
    other.finish();
    EXPECT_EQ(other.disagreement(),
              "4 of the map's 5 output sections with bytes are not in the ELF, the first '.data'");
}

}  // namespace
}  // namespace tarvel
