// Inputs shared by the end-to-end tests of bad input: one small, valid run per map type, and
// the way to compare a damaged input's run with the run of its clean original.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mapfile/map_formats.h"
#include "support/example_folder.h"
#include "support/process.h"
#include "support/report_text.h"
#include "support/sample_inputs.h"
#include "support/temp_dir.h"

namespace tarvel::test {

// Two program areas, one RAM area, two searches.
inline const std::string bad_input_definition =
    "// target of the bad-input tests\n"
    "PROGRAM 0 10000\n"
    "PROGRAM FE0000 8000\n"
    "MEMORY 3FF8000 8000\n"
    "SEARCH text\n"
    "SEARCH |data |bss\n";

// A section map that all four section-map readers read: names that every list holds (each
// once, so that no name is counted twice), the Wren data sections and stack symbols, a
// debugging section, blank lines.
inline const std::string section_map =
    "Linker map of test.elf\n"
    "\n"
    "  Section              Size      Address   Attributes\n"
    "\n"
    "  1    .text         00001000  00000100  PROGBITS\n"
    "       flags: AX\n"
    "  2    .data         00000100  00002000  PROGBITS\n"
    "       flags: WA\n"
    "\n"
    "  3    .data_begin   00000000  03ff8000  PROGBITS\n"
    "       flags: WA\n"
    "  4    .bss          00000400  03ff8100  NOBITS\n"
    "       flags: WA\n"
    "  5    .debug_info   00000800  00000000  PROGBITS\n"
    "       DEBUGGING\n"
    "  6    .bss          00000200  00fe0000  PROGBITS\n"
    "       flags: WA\n"
    "\n"
    "Symbols\n"
    "03ffa000  D  __stack_begin\n"
    "03ffb000  D  __stack_end\n";

// A symbol line of a listing map: name and dotted leader, the address in columns 32 to 37, the
// type, the size in columns 54 to 59, then `tail`.
inline std::string orca_symbol(const std::string& name, const std::string& address,
                               const std::string& size, bool bit = false,
                               const std::string& tail = "") {
    std::string line = name;
    line.resize(24, '.');
    line.resize(32, ' ');
    line += std::string(6 - address.size(), ' ') + address;
    line.resize(40, ' ');
    line += bit ? "BIT  BIT" : "DATA";
    line.resize(54, ' ');
    line += std::string(6 - size.size(), ' ') + size;
    return line + tail + "\n";
}

inline std::string orca_map_with(const std::string& tail_of_main) {
    return "Memory map of module test\n"
           "\n"
           "Name                    Address Type          Size\n"
           "-----------------------------------------------------------\n" +
           orca_symbol("main", "0100", "0400", false, tail_of_main) +
           orca_symbol("text_init", "0500", "0020") + orca_symbol("Reg.A0", "0600", "0004") +
           orca_symbol("data_flags", "FE0000", "0010") +
           orca_symbol("bss_bits", "FF8000", "000C", true) +
           orca_symbol("counter", "FF8010", "0004") + "Number of symbols: 6\n";
}

inline const std::string orca_map = orca_map_with("");

// An EEPROM project source file with all four values.
inline const std::string& clean_eep_source = sample_eep_source;

// Orca addresses have six digits: its RAM lies lower than the section maps' RAM.
inline const std::string orca_definition =
    "PROGRAM 0 10000\nPROGRAM FE0000 8000\nMEMORY FF8000 8000\nSEARCH text\nSEARCH |data |bss\n";

// A clean map of one type, with a definition under which it gives a report.
struct map_case {
    std::string type;
    std::string map;
    std::string definition;
};

// The clean run of every format of the registry: the vendor formats have small maps of their
// own here, the others their bundled example (examples/<keyword>/). A format with neither is
// a failure of the test that asks, so that a new format cannot be left out of these tests.
inline std::vector<map_case> all_map_cases() {
    std::vector<map_case> cases;
    for (const map_format& format : map_formats()) {
        const std::string type(format.keyword);
        if (type == "Puma" || type == "Ibex" || type == "Wren" || type == "Puma_mem32_unlimited") {
            cases.push_back({type, section_map, bad_input_definition});
            continue;
        }
        if (type == "Orca") {
            cases.push_back({type, orca_map, orca_definition});
            continue;
        }
        const std::filesystem::path folder =
            std::filesystem::path(TARVEL_SOURCE_DIR) / "examples" / example_folder(type);
        std::ifstream map(folder / "application.map", std::ios::binary);
        std::ifstream definition(folder / "target.def", std::ios::binary);
        if (!map || !definition) {
            ADD_FAILURE() << "no clean map and definition for the format " << type << " in "
                          << folder.string();
            continue;
        }
        cases.push_back({type, std::string(std::istreambuf_iterator<char>(map), {}),
                         std::string(std::istreambuf_iterator<char>(definition), {})});
    }
    return cases;
}

// Whether the case's map is the section map that the four section-map types share.
inline bool is_section_map_case(const map_case& input) {
    return input.map == section_map;
}

// Applies `change` to every line of `text` (the line without its LF) and joins them again.
template <typename Change>
std::string each_line(const std::string& text, Change change) {
    std::string result;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        const bool has_feed = end != std::string::npos;
        if (!has_feed) {
            end = text.size();
        }
        result += change(text.substr(begin, end - begin), result.size());
        if (has_feed) {
            result += '\n';
        }
        begin = end + 1;
    }
    return result;
}

inline bool has_report(const process_result& result) {
    return result.output.find("*       Tarvel Memory Report       *") != std::string::npos;
}

class BadInput : public ::testing::Test {
  protected:
    process_result run(const std::vector<std::string>& arguments) {
        return run_program(tarvel_executable(), arguments, dir.path());
    }

    // The run of the clean files, which must give a report (so that a comparison with it is
    // never one of two empty outputs).
    process_result clean_run(const std::string& type, const std::string& definition,
                             const std::string& map) {
        dir.write("clean.def", definition);
        dir.write("clean.map", map);
        process_result result = run({type, "clean.def", "clean.map"});
        EXPECT_EQ(result.exit_code, 0) << type;
        EXPECT_TRUE(has_report(result)) << type << "\n" << result.output;
        return result;
    }

    c_temp_dir dir;
};

}  // namespace tarvel::test
