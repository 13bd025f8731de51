// A large GNU ld map is read in two parts on two threads: the later part from the first output
// section (in column 1, with its values) after the split point, dropped where what came before
// would change it (a load image still held, bytes the parts both claim, a section placed by how
// far earlier ones overflowed). Whatever line the split falls on, the figures must be those of
// one reader that reads the whole map.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "mapfile/map_file_gnu.h"
#include "support/random_maps.h"
#include "support/split_read.h"

namespace tarvel {
namespace {

std::string hex(std::uint64_t value, int width) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llx", width, static_cast<unsigned long long>(value));
    return text;
}

// "name  0xADDRESS  0xSIZE[ rest]", the name alone on its line when it is long, as ld writes it.
std::string values_line(const std::string& name, std::uint64_t address, std::uint64_t size,
                        const std::string& rest) {
    char values[96];
    std::snprintf(values, sizeof values, "0x%016llx %#10llx",
                  static_cast<unsigned long long>(address), static_cast<unsigned long long>(size));
    std::string line = name;
    if (name.size() >= 16) {
        line += "\n";
        line.append(16, ' ');
    } else {
        line.append(16 - name.size(), ' ');
    }
    line += values;
    if (!rest.empty()) {
        line += " ";
        line += rest;
    }
    line += "\n";
    return line;
}

struct section_kind {
    const char* name;
    std::uint64_t address;
    std::uint64_t load;  // 0: none printed
};

// Output sections of every kind the reader treats apart: streamed ones with merged, empty,
// padded and uncovered pieces and data statements; one with a load image, held across zero
// data and an OVERLAY pair (sharing their addresses) until a later section with a load address
// shows the image was made; a ".noinit" with a load address that the next section prints
// again; two of the same name; one that overflows its area and one that starts past it; one
// never loaded; files first named late; and a cross reference table after which nothing counts.
std::string sample_map(std::uint64_t seed, bool overflows) {
    test::c_random random(seed);
    std::string map =
        "Archive member included to satisfy reference by file (symbol)\n\n"
        "libx.a(y.o)                   a.o (f)\n\n"
        "Memory Configuration\n\n"
        "Name             Origin             Length             Attributes\n"
        "FLASH            0x0000000008000000 0x0000000000010000 xr\n"
        "RAM              0x0000000020000000 0x0000000000001000 xrw\n"
        "*default*        0x0000000000000000 0xffffffffffffffff\n\n"
        "Linker script and memory map\n\n"
        "LOAD a.o\n";
    const char* files[] = {"a.o", "libx.a(y.o)", "late.o", "libz.a(w.o)"};
    const section_kind sections[] = {
        {".text", 0x08000000, 0},
        {".rodata", 0x08004000, 0},
        {".dup", 0x08009400, 0},
        {".dup", 0x08009600, 0},
        {".big", 0x0800f000, 0},
        {".after_big", 0x08010000, 0},
        {".data", 0x20000000, 0x08008000},
        {".bss", 0x20000400, 0},
        {".ov1", 0x20000800, 0},
        {".ov2", 0x20000800, 0},
        {".noinit", 0x20000a00, 0x08008400},
        {".data2", 0x20000c00, 0x08008400},
        {".comment", 0, 0},
        {".text.more", 0x08009000, 0},
    };
    int number = 0;
    std::uint64_t last_end = 0;
    for (section_kind section : sections) {
        if (!overflows && (section.address == 0x0800f000 || section.address == 0x08010000)) {
            continue;  // a section placed by how far others overflowed keeps the map whole
        }
        if (section.address == 0x08010000) {
            section.address = last_end + 0x100;  // where the one before, past FLASH, ended
        }
        std::string lines;
        std::uint64_t cursor = section.address;
        const int pieces = 2 + static_cast<int>(random.below(10));
        for (int i = 0; i < pieces; ++i) {
            const std::string name = std::string(" ") + section.name + "." + std::to_string(i) +
                                     (random.chance(40) ? "_with_a_long_name" : "");
            const char* file = files[(number > 4 ? 2 : 0) + random.below(2)];
            std::uint64_t address = cursor;
            const std::uint32_t kind = random.below(10);
            if (kind == 0 && cursor > section.address) {
                address = cursor - 1 - random.below(4);  // merged constants
            } else if (kind == 1) {
                address += random.below(8);  // a gap no line accounts for
            }
            std::uint64_t size = kind == 2 ? 0 : 1 + random.below(0x40);
            if (section.address == 0x0800f000) {
                size = 0x800;  // runs past the end of FLASH
            }
            if (kind == 3) {
                lines += values_line(" *fill*", address, size, "");
            } else if (kind == 4) {
                lines += std::string(16, ' ') + hex(address, 16) + "        0x4 LONG 0x1234\n";
                size = 4;
            } else {
                lines += values_line(name, address, size, file);
                lines += std::string(16, ' ') + hex(address, 16) + "                sym_" +
                         std::to_string(i) + "\n";
            }
            cursor = std::max(cursor, address + size);
        }
        const std::uint64_t size = cursor - section.address + random.below(3);
        std::string load;
        if (section.load != 0) {
            load = "load address ";
            load += hex(section.load, 16);
        }
        map += "\n";
        map += values_line(section.name, section.address, size, load);
        map += lines;
        last_end = section.address + size;
        ++number;
    }
    map += "OUTPUT(app.elf elf32-littlearm)\n\nCross Reference Table\n\n";
    map += values_line(".late", 0x08000000, 0x40, "");
    return map;
}

TEST(GnuSplit, EveryPointOfSplitGivesTheFiguresOfOneReader) {
    c_memory_def regions;
    regions.program = {{0x08000000, 0x10000, no_area}};
    regions.memory = {{0x20000000, 0x1000, no_area}};
    c_memory_def without_regions;
    without_regions.without_regions = true;
    without_regions.program = {{0, 0, no_area}};
    without_regions.memory = {{0, 0, no_area}};
    // The ELF file of the link: some sections smaller than the map says (relaxed), one not
    // loaded, one of the OVERLAY windows' names twice, two of the same name (the first not loaded,
    // each taken by the map's section of that name in turn), one the map lacks.
    const auto elf_section = [](const char* name, std::uint64_t address, std::uint64_t size,
                                std::uint64_t flags, std::uint64_t load) {
        elf::section_header header;
        header.name = name;
        header.type = elf::sht_progbits;
        header.flags = flags;
        header.address = address;
        header.size = size;
        header.load_address = load;
        return header;
    };
    const std::vector<elf::section_header> elf_sections = {
        {},
        elf_section(".text", 0x08000000, 0x10, elf::shf_alloc, 0x08000000),
        elf_section(".rodata", 0x08004000, 0x8, elf::shf_alloc, 0x08004000),
        elf_section(".data", 0x20000000, 0x10, elf::shf_alloc, 0x08008000),
        elf_section(".ov1", 0x20000800, 0x8, elf::shf_alloc, 0x20000800),
        elf_section(".ov1", 0x20000800, 0x8, elf::shf_alloc, 0x20000800),
        elf_section(".comment", 0, 0x20, 0, 0),
        elf_section(".dup", 0x08009400, 0x10, 0, 0x08009400),
        elf_section(".dup", 0x08009600, 0x8, elf::shf_alloc, 0x08009600),
        elf_section(".only_in_elf", 0x08009800, 0x10, elf::shf_alloc, 0x08009800),
    };
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        const std::string map = sample_map(seed, seed % 2 == 0);
        for (const c_memory_def* def : {&regions, &without_regions}) {
            for (const bool sums_only : {false, true}) {
                // With the ELF file on maps with regions (without, a section is held to its
                // end, and such a map is read whole).
                const bool with_elf = sums_only && def == &regions;
                const std::vector<elf::section_header>* elf = with_elf ? &elf_sections : nullptr;
                const std::string whole = test::everything_read<c_map_file_gnu>(
                    map, *def, test::read_whole(), sums_only, elf);
                // From each line on, the later part begins at the next section.
                for (std::uint64_t from = 1; from < map.size(); ++from) {
                    if (map[from - 1] != '\n') {
                        continue;
                    }
                    ASSERT_EQ(test::everything_read<c_map_file_gnu>(
                                  map, *def, test::split_after(from), sums_only, elf),
                              whole)
                        << "seed " << seed << ", split after " << from << ", sums only "
                        << sums_only << ", regions " << !def->without_regions << "\n"
                        << map;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tarvel
