// The maps of the real Arm and AVR builds (tests/toolchain/) and the figures of the
// toolchain's own size tool, which the readers must reproduce.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tarvel::test {

// Each build, as its directory and its map, ELF and size files are named.
inline const std::vector<std::string>& toolchain_builds() {
    static const std::vector<std::string> builds{"arm_flash_ram", "arm_flash_at_zero",
                                                 "avr_atmega328p"};
    return builds;
}

#ifdef TARVEL_TOOLCHAIN_DIR
inline constexpr bool have_toolchain_maps = true;
inline std::filesystem::path toolchain_dir(const std::string& build) {
    return std::filesystem::path(TARVEL_TOOLCHAIN_DIR) / build;
}
#else
inline constexpr bool have_toolchain_maps = false;
inline std::filesystem::path toolchain_dir(const std::string& build) {
    return std::filesystem::path("toolchain-maps-not-built") / build;
}
#endif

inline std::string toolchain_map(const std::string& build) {
    return (toolchain_dir(build) / (build + ".map")).string();
}

// The definition file beside the sources, with the regions of the build's linker script.
inline std::string toolchain_def(const std::string& build) {
    return (std::filesystem::path(TARVEL_SOURCE_DIR) / "tests" / "toolchain" / (build + ".def"))
        .string();
}

// One line of `size -B`.
struct berkeley_size {
    std::uint32_t text = 0;
    std::uint32_t data = 0;
    std::uint32_t bss = 0;
    std::uint32_t rom() const { return text + data; }  // code and constants, initial values
    std::uint32_t ram() const { return data + bss; }
    std::uint32_t total() const { return text + data + bss; }
};

// The lines of a file that `size -B` wrote, by file name.
inline std::map<std::string, berkeley_size> read_size_file(const std::filesystem::path& file) {
    std::map<std::string, berkeley_size> sizes;
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);  // the column heading
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        berkeley_size size;
        std::uint32_t dec = 0;
        std::string hex;
        std::string name;
        if (fields >> size.text >> size.data >> size.bss >> dec >> hex >> name) {
            sizes[name] = size;
        }
    }
    return sizes;
}

inline berkeley_size program_size(const std::string& build) {
    return read_size_file(toolchain_dir(build) / (build + ".size"))[build + ".elf"];
}

#define TARVEL_REQUIRE_TOOLCHAIN_MAPS()                                                 \
    do {                                                                                \
        if (!::tarvel::test::have_toolchain_maps) {                                     \
            GTEST_SKIP() << "built with TARVEL_TOOLCHAIN_TESTS=OFF: no toolchain maps"; \
        }                                                                               \
    } while (false)

}  // namespace tarvel::test
