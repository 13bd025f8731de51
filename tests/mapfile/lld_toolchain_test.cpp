// The Lld reader on maps of real programs linked by ld.lld for Arm and RISC-V at build time
// (tests/toolchain/toolchain_maps.cmake), against the section headers of the same ELF files:
// every allocated section's bytes are the entries at its addresses, and the areas of the
// linker script's MEMORY hold what the headers say.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "analysis/script_areas.h"
#include "app/ld_script_file.h"
#include "mapfile/map_file_lld.h"
#include "support/reader_fixture.h"
#include "support/toolchain_maps.h"

namespace tarvel {
namespace {

struct elf_section {
    std::string name;
    std::uint64_t address = 0;
    std::uint64_t size = 0;
    bool loaded = false;  // PROGBITS and the like: bytes in the file, so a load image in flash
};

// The allocated sections of `llvm-readelf -S --wide`:
//   [ 3] .text  PROGBITS  08000018 010018 000094 00  AX  0   0  4
std::vector<elf_section> read_sections(const std::filesystem::path& file) {
    std::vector<elf_section> sections;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t close = line.find(']');
        if (line.find('[') == std::string::npos || close == std::string::npos) {
            continue;
        }
        std::istringstream fields(line.substr(close + 1));
        std::string name, type, address, offset, size, entry_size, flags;
        if (!(fields >> name >> type >> address >> offset >> size >> entry_size >> flags) ||
            flags.find('A') == std::string::npos) {
            continue;
        }
        sections.push_back({name, std::stoull(address, nullptr, 16), std::stoull(size, nullptr, 16),
                            type != "NOBITS"});
    }
    return sections;
}

TEST(LldToolchain, EntriesAddUpToTheElfSectionHeaders) {
    TARVEL_REQUIRE_TOOLCHAIN_MAPS();
    for (const std::string build : {"lld_arm", "lld_riscv"}) {
        const std::vector<elf_section> sections =
            read_sections(test::toolchain_dir(build) / (build + ".sections"));
        ASSERT_GE(sections.size(), 4u) << build;

        const c_result<std::vector<ld_script_region>, std::string> regions =
            read_ld_script_file(std::string(TARVEL_SOURCE_DIR) + "/examples/lld/src/memory.x");
        ASSERT_TRUE(regions) << regions.error();
        c_memory_def def;
        ASSERT_TRUE(areas_from_regions(*regions, def));
        c_map_file_lld reader(text_source::file(test::toolchain_map(build)));
        c_entry_list program;
        c_entry_list memory;
        ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory))) << build;
        EXPECT_EQ(reader.counts().damaged_lines, 0u) << build;
        EXPECT_EQ(reader.counts().unplaced, 0u) << build;

        std::uint64_t flash = 0;
        std::uint64_t ram = 0;
        for (const elf_section& section : sections) {
            std::uint64_t at_run_address = 0;
            for (const c_entry_list* list : {&program, &memory}) {
                for (const c_map_entry& entry : *list) {
                    if (entry.address >= section.address &&
                        entry.address < section.address + section.size) {
                        at_run_address += entry.size;
                    }
                }
            }
            EXPECT_EQ(at_run_address, section.size) << build << " " << section.name;
            const bool in_ram = section.address >= 0x20000000;
            (in_ram ? ram : flash) += section.size;
            if (in_ram && section.loaded) {
                flash += section.size;  // its initial values, loaded from flash
            }
        }
        std::uint64_t program_total = 0;
        for (const c_map_entry& entry : program) {
            program_total += entry.size;
        }
        std::uint64_t memory_total = 0;
        for (const c_map_entry& entry : memory) {
            memory_total += entry.size;
        }
        EXPECT_EQ(program_total, flash) << build;
        EXPECT_EQ(memory_total, ram) << build;
    }
}

}  // namespace
}  // namespace tarvel
