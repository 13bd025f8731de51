// End-to-end tests of damaged and unexpected input files: each run ends with a clear message
// and its exit code, or with the report that the readable part of the input gives. Where a
// damage must not change what the tool reads, the run is compared with the run of the clean
// original.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "e2e/bad_input_fixtures.h"

namespace tarvel::test {
namespace {

const std::string invalid_definition = "Tarvel:\tInvalid memory definition file.\n";
const std::string invalid_map = "Tarvel:\tInvalid memory map file.\n";
const std::string eep_ran_out = "File end\nerror in the analyze EEP size: \n";

// Bytes of every value, the same on every run.
std::string garbage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Puts `zeros` before every word of exactly eight hexadecimal digits.
std::string pad_hex_words(const std::string& line, const std::string& zeros) {
    std::string padded;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        const std::string word = line.substr(at, end - at);
        if (word.size() == 8 &&
            word.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
            padded += zeros;
        }
        padded += word;
        if (end < line.size()) {
            padded += ' ';
        }
        at = end + 1;
    }
    return padded;
}

TEST_F(BadInput, EmptyFilesEndWithAMessageOrNoReport) {
    dir.write("empty", "");
    for (const map_case& input : all_map_cases()) {
        dir.write("target.def", input.definition);
        dir.write("application.map", input.map);
        process_result result = run({input.type, "empty", "application.map"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_definition)) << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << input.type;

        // A map without entries gives no report, and the run succeeds.
        result = run({input.type, "target.def", "empty"});
        EXPECT_EQ(result.output, native_lines(banner_text())) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
    const process_result clean = clean_run("Puma", bad_input_definition, section_map);
    const process_result result = run({"Puma", "clean.def", "clean.map", "empty"});
    EXPECT_EQ(result.output, clean.output + native_lines(eep_ran_out));
    EXPECT_EQ(result.exit_code, exit_status(-4));
}

TEST_F(BadInput, BinaryGarbageIsNoDefinitionNoMapAndNoEepFile) {
    const std::string bytes = garbage(100000, 8);
    dir.write("garbage", bytes);
    for (const map_case& input : all_map_cases()) {
        const process_result clean = clean_run(input.type, input.definition, input.map);

        process_result result = run({input.type, "garbage", "clean.map"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_definition)) << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << input.type;

        result = run({input.type, "clean.def", "garbage"});
        EXPECT_EQ(result.output, native_lines(banner_text())) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;

        // Garbage around the table is skipped: the report stays the same.
        dir.write("wrapped.map",
                  input.type == "Orca" ? input.map + bytes : bytes + "\n" + input.map + bytes);
        result = run({input.type, "clean.def", "wrapped.map"});
        EXPECT_EQ(result.output, clean.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;

        result = run({input.type, "clean.def", "clean.map", "garbage"});
        EXPECT_EQ(result.output, clean.output + native_lines(eep_ran_out)) << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-4)) << input.type;
    }
}

// A NUL ends the visible text of its line: what follows it on the line is never read, even
// keywords, section lines or the end of a table.
TEST_F(BadInput, TextAfterANulIsNotRead) {
    const auto hide_junk = [](const std::string& line, std::size_t) {
        return line + std::string(1, '\0') +
               " PROGRAM 1 1 MEMORY 2 2 SEARCH x Number of symbols ...  7  .text  10  10  x";
    };
    for (const map_case& input : all_map_cases()) {
        const std::string definition = input.definition;
        const process_result clean = clean_run(input.type, definition, input.map);
        // Not "nul.def": on Windows NUL with any extension names the null device.
        dir.write("with_nul.def", each_line(definition, hide_junk));
        dir.write("with_nul.map", each_line(input.map, hide_junk));
        dir.write("with_nul.src", each_line(clean_eep_source, hide_junk));
        dir.write("clean.src", clean_eep_source);
        const process_result with_eep = run({input.type, "clean.def", "clean.map", "clean.src"});
        EXPECT_EQ(with_eep.exit_code, 0) << input.type;

        const process_result result =
            run({input.type, "with_nul.def", "with_nul.map", "with_nul.src"});
        EXPECT_EQ(result.output, with_eep.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
    // A NUL inside a section name cuts the line before the section's fields.
    dir.write("cut.map", "  1    .te" + std::string(1, '\0') + "xt  00001000  00000100  x\n  AX\n");
    const process_result result = run({"Puma", "clean.def", "cut.map"});
    EXPECT_EQ(result.output, native_lines(banner_text()));
    EXPECT_EQ(result.exit_code, 0);
}

TEST_F(BadInput, MixedLineEndsReadLikeLineFeeds) {
    // Every other line ends in CR LF.
    const auto crlf = [count = 0](const std::string& line, std::size_t) mutable {
        return count++ % 2 == 0 ? line + "\r" : line;
    };
    for (const map_case& input : all_map_cases()) {
        const std::string definition = input.definition;
        clean_run(input.type, definition, input.map);
        dir.write("clean.src", clean_eep_source);
        const process_result clean = run({input.type, "clean.def", "clean.map", "clean.src"});
        dir.write("mixed.def", each_line(definition, crlf));
        dir.write("mixed.map", each_line(input.map, crlf));
        dir.write("mixed.src", each_line(clean_eep_source, crlf));

        const process_result result = run({input.type, "mixed.def", "mixed.map", "mixed.src"});
        EXPECT_EQ(result.output, clean.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
}

// A CR alone does not end a line: a file with only CRs is a single line. A definition that
// begins with a comment is then one comment, and a map one line that is no table row.
TEST_F(BadInput, CarriageReturnsAloneMakeOneLine) {
    const auto cr_only = [](const std::string& text) { return replace_all(text, "\n", "\r"); };
    dir.write("cr.def", cr_only(bad_input_definition));
    for (const map_case& input : all_map_cases()) {
        dir.write("target.def", input.definition);
        dir.write("cr.map", cr_only(input.map));
        process_result result = run({input.type, "cr.def", "cr.map"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_definition)) << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << input.type;

        result = run({input.type, "target.def", "cr.map"});
        EXPECT_EQ(result.output, native_lines(banner_text())) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
    // The EEPROM file is one line: its header, which is never examined.
    clean_run("Puma", bad_input_definition, section_map);
    dir.write("cr.src", cr_only(clean_eep_source));
    const process_result clean = run({"Puma", "clean.def", "clean.map"});
    const process_result result = run({"Puma", "clean.def", "clean.map", "cr.src"});
    EXPECT_EQ(result.output, clean.output + native_lines(eep_ran_out));
    EXPECT_EQ(result.exit_code, exit_status(-4));
}

// Names and terms are bytes: invalid UTF-8 is matched, counted and written back unchanged.
TEST_F(BadInput, InvalidUtf8IsCarriedThroughAsBytes) {
    // Each damaged sequence has a stand-in of the same length, so the fixed columns of the
    // listing map stay where they are.
    const std::vector<std::pair<std::string, std::string>> stand_ins{
        {"\xff\xfe", "Q1"}, {"\xc3\x28", "Q2"}, {"\xed\xa0\x80", "Q3x"}, {"\xe2\x82", "Q4"}};
    const std::string definition =
        "PROGRAM 0 10000\nMEMORY FF8000 8000\n// comment \xc3\x28 \xff\n"
        "SEARCH \xff\xfe\nSEARCH |\xc3\x28 |\xed\xa0\x80\nSEARCH \xe2\x82 !\xff\xfe\nSEARCH a\n";
    const std::string map =
        "Memory map \xff\xfe\n\n\n\n" + orca_symbol("a\xff\xfe\xe2\x82", "0100", "0010") +
        orca_symbol("a\xc3\x28", "0200", "0020") + orca_symbol("\xe2\x82z", "0300", "0040") +
        orca_symbol("\xed\xa0\x80", "0400", "0080", false, " \xff\xc3") +
        orca_symbol("a\xed\xa0\x80", "0500", "0100") + "Number of symbols: 5\n";
    const auto to_ascii = [&stand_ins](std::string text) {
        for (const auto& [bytes, ascii] : stand_ins) {
            text = replace_all(text, bytes, ascii);
        }
        return text;
    };
    const auto to_bytes = [&stand_ins](std::string text) {
        for (const auto& [bytes, ascii] : stand_ins) {
            text = replace_all(text, ascii, bytes);
        }
        return text;
    };
    std::filesystem::create_directory(dir.path() / "ascii");
    dir.write("ascii/t.def", to_ascii(definition));
    dir.write("ascii/a.map", to_ascii(map));
    std::filesystem::create_directory(dir.path() / "bytes");
    dir.write("bytes/t.def", definition);
    dir.write("bytes/a.map", map);

    const process_result ascii = run({"Orca", "ascii/t.def", "ascii/a.map"});
    ASSERT_TRUE(has_report(ascii)) << ascii.output;
    ASSERT_NE(ascii.output.find("Warning: Ambiguous search"), std::string::npos) << ascii.output;
    const process_result bytes = run({"Orca", "bytes/t.def", "bytes/a.map"});
    EXPECT_EQ(bytes.exit_code, 0);
    EXPECT_EQ(bytes.output, replace_all(to_bytes(ascii.output), "ascii/", "bytes/"));
    EXPECT_EQ(dir.read("bytes/Tarvel.amb"), to_bytes(dir.read("ascii/Tarvel.amb")));
}

TEST_F(BadInput, ADirectoryInPlaceOfAnInputFileIsInvalid) {
    std::filesystem::create_directory(dir.path() / "folder");
    for (const map_case& input : all_map_cases()) {
        const process_result clean = clean_run(input.type, input.definition, input.map);

        process_result result = run({input.type, "folder", "clean.map"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_definition)) << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << input.type;

        result = run({input.type, "clean.def", "folder"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_map)) << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << input.type;

        result = run({input.type, "folder", "folder"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_definition + invalid_map))
            << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << input.type;

        result = run({input.type, "clean.def", "clean.map", "folder"});
        EXPECT_EQ(result.output, clean.output + native_lines("Tarvel:\tInvalid eep file.\n"))
            << input.type;
        EXPECT_EQ(result.exit_code, exit_status(-4)) << input.type;
    }
}

// A map of another format holds no row that the chosen reader recognises: no report, and the
// run succeeds, as for any map without entries in the defined areas.
TEST_F(BadInput, AMapOfTheWrongTypeGivesNoReport) {
    dir.write("target.def", bad_input_definition);
    dir.write("section.map", section_map);
    dir.write("listing.map", orca_map);
    dir.write("EepPrj.src", clean_eep_source);
    const std::vector<std::vector<std::string>> runs{
        {"Orca", "target.def", "section.map"},
        {"Puma", "target.def", "listing.map"},
        {"Ibex", "target.def", "listing.map"},
        {"Wren", "target.def", "listing.map"},
        {"Puma_mem32_unlimited", "target.def", "listing.map"},
        {"Puma", "target.def", "EepPrj.src"},
        {"Orca", "target.def", "EepPrj.src"},
        {"Puma", "target.def", "target.def"},
    };
    for (const auto& arguments : runs) {
        const process_result result = run(arguments);
        EXPECT_EQ(result.output, native_lines(banner_text()))
            << arguments[0] << " " << arguments[2];
        EXPECT_EQ(result.exit_code, 0) << arguments[0] << " " << arguments[2];
    }
    // A map or an EEPROM file given as the definition holds no area line.
    for (const char* file : {"section.map", "listing.map", "EepPrj.src"}) {
        const process_result result = run({"Puma", file, "section.map"});
        EXPECT_EQ(result.output, native_lines(banner_text() + invalid_definition)) << file;
        EXPECT_EQ(result.exit_code, exit_status(-3)) << file;
    }
}

TEST_F(BadInput, NumbersWithTwentyDigits) {
    const std::string padded_zeros(12, '0');
    // Leading zeros change nothing: the values fit 32 bits.
    for (const char* type : {"Puma", "Wren", "Puma_mem32_unlimited"}) {
        const map_case input{type, section_map, bad_input_definition};
        const process_result clean = clean_run(input.type, bad_input_definition, input.map);
        dir.write("padded.def",
                  "PROGRAM 00000000000000000000 00000000000000010000\n"
                  "PROGRAM 0x00000000000000FE0000 0X00000000000000008000\n"
                  "MEMORY 00000000000003FF8000 00000000000000008000\n"
                  "SEARCH text\nSEARCH |data |bss\n");
        // Every eight-digit number of the map (sizes, addresses, stack symbols) gets twelve more
        // leading zeros.
        dir.write("padded.map", each_line(input.map, [&](const std::string& line, std::size_t) {
                      return pad_hex_words(line, padded_zeros);
                  }));
        dir.write("clean.src", clean_eep_source);
        dir.write("padded.src",
                  replace_all(clean_eep_source, "    0", "    " + padded_zeros + "0"));
        const process_result with_eep = run({input.type, "clean.def", "clean.map", "clean.src"});
        ASSERT_NE(dir.read("padded.map"), input.map);
        const process_result result = run({input.type, "padded.def", "padded.map", "padded.src"});
        EXPECT_EQ(result.output, with_eep.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }

    // Values above 32 bits saturate at 0xFFFFFFFF: an area that starts there and has no size
    // (the size after such a number is not read), a section too large for any area, and
    // EEPROM sizes of 0xFFFFFFFF.
    dir.write("big.def",
              "PROGRAM 0 10000\nPROGRAM 12345678901234567890 100\nMEMORY 3FF8000 8000\n");
    dir.write("saturated.def", "PROGRAM 0 10000\nPROGRAM FFFFFFFF 0\nMEMORY 3FF8000 8000\n");
    dir.write("big.map",
              "  1  .text  00000000000000001000  00000000000000000100  x\n  AX\n"
              "  2  .text  12345678901234567890  00000000000000002000  x\n  AX\n");
    dir.write("saturated.map", "  1  .text  00001000  00000100  x\n  AX\n");
    dir.write("big.src",
              "h\n_IpdEep_nOnceDataSize\n    0100;\n_IpdEep_nTrippleDataSize\n"
              "    12345678901234567890;\n_IpdEep_nOnceDataFree\n    0300;\n"
              "_IpdEep_nTrippleDataFree\n    -00000000000000000001;\n");
    dir.write("saturated.src",
              "h\n_IpdEep_nOnceDataSize\n    0100;\n_IpdEep_nTrippleDataSize\n"
              "    FFFFFFFF;\n_IpdEep_nOnceDataFree\n    0300;\n"
              "_IpdEep_nTrippleDataFree\n    FFFFFFFF;\n");
    const process_result saturated =
        run({"Puma", "saturated.def", "saturated.map", "saturated.src"});
    ASSERT_TRUE(has_report(saturated)) << saturated.output;
    EXPECT_NE(saturated.output.find("Total          0, Pct Used:   0.0%"), std::string::npos)
        << saturated.output;
    const process_result result = run({"Puma", "big.def", "big.map", "big.src"});
    EXPECT_EQ(result.output, saturated.output);
    EXPECT_EQ(result.exit_code, 0);
}

}  // namespace
}  // namespace tarvel::test
