// The matrix of real builds (tests/toolchain/) as the ELF-based tests see them: each build's ELF
// file and map, the map's memory regions, its discarded input sections, and the occupied bytes
// of each region computed from the ELF's section headers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "elf/elf_file.h"
#include "elf/region_occupancy.h"
#include "mapfile/gnu_memory_regions.h"
#include "support/toolchain_maps.h"

namespace tarvel::test {

// Every build of tests/toolchain/ that writes an ELF file.
inline const std::vector<std::string>& elf_matrix_builds() {
    static const std::vector<std::string> builds{
        "arm_flash_ram",      "arm_flash_at_zero", "avr_atmega328p",   "arm_cxx_cmsis",
        "arm_regions",        "arm_regions_lto",   "arm_picolibc_tls", "arm_overflow",
        "arm_default_script", "riscv_small_data",  "avr_progmem",      "xtensa_esp8266"};
    return builds;
}

inline std::filesystem::path toolchain_elf(const std::string& build) {
    return toolchain_dir(build) / (build + ".elf");
}

inline std::vector<std::uint8_t> read_bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The ELF file's headers; a failure to read them fails the test that asked.
inline std::optional<elf::elf_image> read_elf_file(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = read_bytes(file);
    c_result<elf::elf_image, elf::elf_error> image = elf::read_elf(bytes);
    EXPECT_TRUE(image) << file << ": " << elf::describe(image.error());
    if (!image) {
        return std::nullopt;
    }
    return std::move(image).value();
}

inline std::string read_text(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of the map between the heading `from` and the heading `to`.
inline std::vector<std::string> map_block(const std::string& map, const std::string& from,
                                          const std::string& to) {
    std::vector<std::string> lines;
    std::istringstream in(map);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with(from)) {
            inside = true;
        } else if (inside && line.starts_with(to)) {
            break;
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The regions of the map's "Memory Configuration"; a map without any has only the whole
// 32-bit address space, which ld calls "*default*".
inline std::vector<gnu::memory_region> map_regions(const std::string& map) {
    std::vector<gnu::memory_region> regions;
    for (const std::string& line :
         map_block(map, "Memory Configuration", "Linker script and memory map")) {
        gnu::memory_region region;
        if (gnu::read_region_line(line, region)) {
            regions.push_back(region);
        }
    }
    if (regions.empty()) {
        regions.push_back({"*default*", 0, 0xffffffff, "", false});
    }
    return regions;
}

// The object file's own name: the member's name for "archive.a(member.o)", the file name
// without its directory otherwise.
inline std::string object_name(const std::string& file) {
    if (file.ends_with(')') && file.find('(') != std::string::npos) {
        const std::size_t open = file.rfind('(');
        return file.substr(open + 1, file.size() - open - 2);
    }
    return std::filesystem::path(file).filename().string();
}

// (section name, object file name) of each input section listed under "Discarded input
// sections". A long name stands alone on its line, its address, size and file on the next.
inline std::set<std::pair<std::string, std::string>> discarded_sections(const std::string& map) {
    std::set<std::pair<std::string, std::string>> discarded;
    std::string pending;
    for (const std::string& line :
         map_block(map, "Discarded input sections", "Memory Configuration")) {
        std::istringstream fields(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(fields), {}};
        if (words.size() == 1 && line.starts_with(" .")) {
            pending = words[0];
            continue;
        }
        if (!pending.empty() && words.size() >= 3 && words[0].starts_with("0x")) {
            discarded.emplace(pending, object_name(words[2]));
        } else if (words.size() >= 4 && words[1].starts_with("0x")) {
            discarded.emplace(words[0], object_name(words[3]));
        }
        pending.clear();
    }
    return discarded;
}

// The bytes of each of the map's regions that the ELF file's sections occupy.
inline std::vector<std::uint64_t> elf_region_usage(const elf::elf_image& image,
                                                   const std::vector<gnu::memory_region>& regions) {
    std::vector<elf::address_range> ranges;
    for (const gnu::memory_region& region : regions) {
        ranges.push_back({region.origin, region.length});
    }
    return elf::occupied_bytes(image.sections, ranges);
}

}  // namespace tarvel::test
