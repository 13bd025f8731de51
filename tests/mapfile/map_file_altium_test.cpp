#include "mapfile/map_file_altium.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>

#include "support/reader_fixture.h"

namespace tarvel {
namespace {

// A symbol line of the listing's table: name and dotted leader up to column 32, the address in
// columns 32 to 37, the memory space and type, the size in columns 54 to 59, the module.
std::string symbol(const std::string& name, const std::string& address, const std::string& size,
                   const std::string& kind = "CODE FUNC    ") {
    std::string line = name + std::string(name.size() < 29 ? 32 - name.size() : 3, '.');
    line += address + "  " + kind + " " + size + "  module.obj";
    return line;
}

// read_symbol on a line that stays alive: the entry's name is a view of the line.
bool read_kept(std::string line, c_map_entry& entry) {
    static std::deque<std::string> lines;
    return c_map_file_altium::read_symbol(lines.emplace_back(std::move(line)), entry);
}

const std::string header =
    "Memory map of app.abs\n"
    "\n"
    "Name                            Addr    Space Type     Size    Module\n"
    "----------------------------------------------------------------------\n";

using test::names;
using test::parse_result;

class AltiumParse : public test::c_reader_test<c_map_file_altium> {
  protected:
    AltiumParse() {
        def.program = {{0x0000, 0x8000, no_area}, {0xF000, 0x1000, no_area}};
        def.memory = {{0x200000, 0x100, no_area}, {0x220000, 0x80, no_area}};
    }
};

TEST(AltiumSymbolLine, FixedColumnsAndTheHelperAgree) {
    const std::string line = symbol("_main", "0001F0", "000004");
    EXPECT_EQ(line.substr(32, 6), "0001F0");
    EXPECT_EQ(line.substr(54, 6), "000004");
}

TEST(AltiumSymbolLine, NameEndsAtTheFirstDotFromTheSearchStart) {
    c_map_entry e;
    ASSERT_TRUE(read_kept(symbol("Reg.A0", "200000", "000001"), e));
    EXPECT_EQ(e.name, "Reg.A0");
    // "Reg." anywhere moves the search start to position 4, whatever stands there.
    ASSERT_TRUE(read_kept(symbol("AB.Reg.C", "200000", "000001"), e));
    EXPECT_EQ(e.name, "AB.Reg");
    ASSERT_TRUE(read_kept(symbol("  _x", "000010", "000002"), e));
    EXPECT_EQ(e.name, "  _x");  // leading blanks belong to the name
    EXPECT_FALSE(c_map_file_altium::read_symbol("....." + symbol("x", "10", "2"), e));
    EXPECT_FALSE(c_map_file_altium::read_symbol("_main.. 000100  CODE  0000A4", e));  // no "..."
}

TEST(AltiumSymbolLine, AddressAndSizeFieldsConvertLikeStrtoul) {
    c_map_entry e;
    ASSERT_TRUE(read_kept(symbol("_a", "  01F0", "000004"), e));
    EXPECT_EQ(e.address, 0x1F0u);
    EXPECT_EQ(e.size, 4u);
    ASSERT_TRUE(read_kept(symbol("_a", "0x1f0z", "-00001"), e));
    EXPECT_EQ(e.address, 0x1F0u);
    EXPECT_EQ(e.size, 0xFFFFFFFFu);  // a minus sign negates modulo 2^32
    ASSERT_TRUE(read_kept(symbol("_a", "zzzzzz", "      "), e));
    EXPECT_EQ(e.address, 0u);
    EXPECT_EQ(e.size, 0u);
}

TEST(AltiumSymbolLine, ShortLinesHaveShortOrNoFields) {
    c_map_entry e;
    const std::string line = symbol("_a", "000123", "000045");
    for (const std::size_t length : {std::size_t{33}, std::size_t{40}, std::size_t{54}}) {
        ASSERT_TRUE(c_map_file_altium::read_symbol(line.substr(0, length), e)) << length;
        EXPECT_EQ(e.size, 0u) << length;  // no size column: never placed
    }
    ASSERT_TRUE(c_map_file_altium::read_symbol(line.substr(0, 34), e));
    EXPECT_EQ(e.address, 0x00u);  // "00"
    ASSERT_TRUE(c_map_file_altium::read_symbol(line.substr(0, 36), e));
    EXPECT_EQ(e.address, 0x1u);  // "0001"
    ASSERT_TRUE(c_map_file_altium::read_symbol(line.substr(0, 56), e));
    EXPECT_EQ(e.size, 0u);  // "00"
    ASSERT_TRUE(c_map_file_altium::read_symbol(line.substr(0, 59), e));
    EXPECT_EQ(e.size, 0x4u);  // "00004"
    ASSERT_TRUE(c_map_file_altium::read_symbol("_a...", e));
    EXPECT_EQ(e.address, 0u);
}

TEST(AltiumSymbolLine, BitVariablesNeedTwoBlanksBetweenTheWords) {
    c_map_entry e;
    ASSERT_TRUE(read_kept(symbol("_f", "220001", "000001", "BIT  BIT     "), e));
    EXPECT_EQ(e.is_bit, 1);
    ASSERT_TRUE(read_kept(symbol("_f", "220001", "000001", "BIT BIT      "), e));
    EXPECT_EQ(e.is_bit, 0);
}

TEST_F(AltiumParse, ReadsTheTableBetweenHeaderAndEndLine) {
    const parse_result r =
        parse(header + symbol("_main", "000100", "0000A4") + "\n" + "not a symbol line\n" +
              symbol("Reg.R0", "200000", "000001", "DATA REG     ") + "\n" +
              symbol("_flag", "220003", "00000C", "BIT  BIT     ") + "\n" +
              symbol("P0", "300080", "000001", "SFR  SFR     ") + "\n" + "Number of symbols: 4 " +
              symbol("_late", "000200", "10") + "\n" + symbol("_after", "000300", "000010") + "\n");
    EXPECT_TRUE(r.result);
    EXPECT_EQ(names(r.program), (std::vector<std::string>{"_main"}));
    EXPECT_EQ(r.program[0].address, 0x100u);
    EXPECT_EQ(r.program[0].size, 0xA4u);
    EXPECT_EQ(r.program[0].index, 0u);
    ASSERT_EQ(names(r.memory), (std::vector<std::string>{"Reg.R0", "_flag"}));
    EXPECT_EQ(r.memory[1].is_bit, 1);
    EXPECT_EQ(r.memory[1].index, 1u);
}

TEST_F(AltiumParse, HeaderMustBeOnTheFirstLine) {
    def.reserved = {{0xF000, 0x100, no_area}};
    const parse_result r =
        parse("Linker listing\n" + header + symbol("_main", "000100", "10") + "\n");
    EXPECT_FALSE(r.result);
    EXPECT_TRUE(r.program.empty());  // not even the reserved range
    EXPECT_FALSE(parse("").result);
}

TEST_F(AltiumParse, LinesTwoToFourAreNeverExamined) {
    const parse_result r = parse("Memory map\n" + symbol("_two", "000100", "000010") + "\n" +
                                 "Number of symbols: 0\n" + symbol("_four", "000200", "10") + "\n" +
                                 symbol("_five", "000300", "000010") + "\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{"_five"}));
}

TEST_F(AltiumParse, LastLineWithoutLineFeedAndCrLfLineEnds) {
    std::string map =
        header + symbol("_a", "000100", "000010") + "\n" + symbol("_b", "000200", "000020");
    EXPECT_EQ(names(parse(map).program), (std::vector<std::string>{"_a", "_b"}));

    map = "Memory map\r\n\r\n\r\n\r\n" + symbol("_a", "000100", "000010") + "\r\n" +
          symbol("_b", "000200", "000020") + "\r\n";
    const parse_result r = parse(map);
    ASSERT_EQ(names(r.program), (std::vector<std::string>{"_a", "_b"}));
    EXPECT_EQ(r.program[1].size, 0x20u);
}

TEST_F(AltiumParse, LinesOfAnyLengthAreReadWhole) {
    const std::string tail(5000, 'x');
    const parse_result r =
        parse(header + symbol("_a", "000100", "000010") + tail + "\n" + std::string(3000, ' ') +
              "\n" + symbol("_b", "000200", "20") + "\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{"_a", "_b"}));
}

TEST_F(AltiumParse, EqualAddressesStandInReverseFileOrder) {
    const parse_result r =
        parse(header + symbol("_c", "000300", "10") + "\n" + symbol("_a", "000100", "10") + "\n" +
              symbol("_b", "000100", "10") + "\n");
    EXPECT_EQ(names(r.program), (std::vector<std::string>{"_b", "_a", "_c"}));
}

TEST_F(AltiumParse, ReservedRangesInProgramAreasBecomeEntries) {
    def.reserved = {{0xF000, 0x800, no_area},   // program area 1
                    {0x200080, 0x10, no_area},  // RAM only: no entry
                    {0x7F00, 0x200, no_area},   // crosses the end of program area 0
                    {0x0100, 0x100, no_area}};  // program area 0, same address as a symbol
    const parse_result r = parse(header + symbol("_main", "000100", "000010") + "\n");
    EXPECT_TRUE(r.result);
    ASSERT_EQ(names(r.program), (std::vector<std::string>{"RESERVED3", "_main", "RESERVED0"}));
    EXPECT_EQ(r.program[0].size, 0x100u);
    EXPECT_EQ(r.program[2].address, 0xF000u);
    EXPECT_EQ(r.program[2].index, 1u);
    EXPECT_TRUE(r.memory.empty());
}

TEST_F(AltiumParse, ReservedRangesAloneGiveTrue) {
    def.reserved = {{0x0000, 0x10, no_area}, {0xF000, 0x10, no_area}};
    const parse_result r = parse(header + "Number of symbols: 0\n");
    EXPECT_TRUE(r.result);
    EXPECT_EQ(names(r.program), (std::vector<std::string>{"RESERVED0", "RESERVED1"}));
}

TEST_F(AltiumParse, NothingPlacedGivesFalse) {
    EXPECT_FALSE(parse(header + symbol("_zero", "000100", "000000") + "\n" +
                       symbol("_away", "900000", "000010") + "\n")
                     .result);
    c_map_file_altium missing(text_source::file((dir.path() / "none.map").string()));
    c_entry_list program;
    c_entry_list memory;
    def.reserved = {{0x0000, 0x10, no_area}};
    EXPECT_FALSE(missing.parse(def, program, memory));
    EXPECT_TRUE(program.empty());
}

}  // namespace
}  // namespace tarvel

namespace tarvel {
namespace {

// The symbol line rule as plain substring tests, the way it reads: the reader finds the same
// answers in one pass over the dots.
bool plain_read_symbol(std::string_view line, std::string& name) {
    if (line.find("...") == std::string_view::npos) {
        return false;
    }
    const std::size_t start = line.find("Reg.") != std::string_view::npos ? 4 : 0;
    name = std::string(line.substr(0, line.find('.', start)));
    return !name.empty();
}

TEST(AltiumSymbolLine, DotsAndRegisterNamesAsThePlainRule) {
    std::mt19937 random(3);
    const std::string pieces[] = {".", "..", "...", "Reg", "Reg.", "R", "eg", "g.", "x", " ", "A0"};
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        for (int n = static_cast<int>(random() % 8); n >= 0; --n) {
            line += pieces[random() % std::size(pieces)];
        }
        std::string expected;
        const bool plain = plain_read_symbol(line, expected);
        c_map_entry entry;
        ASSERT_EQ(c_map_file_altium::read_symbol(line, entry), plain) << line;
        if (plain) {
            ASSERT_EQ(entry.name, expected) << line;
        }
    }
}

}  // namespace
}  // namespace tarvel
