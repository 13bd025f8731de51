#include "mapfile/gnu_map_line.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tarvel::gnu {
namespace {

TEST(GnuHeadings, KnownPartsInColumnOneOnly) {
    EXPECT_EQ(heading_of("Memory Configuration"), heading::memory_configuration);
    EXPECT_EQ(heading_of("Linker script and memory map\r"), heading::memory_map);
    EXPECT_EQ(heading_of("Discarded input sections"), heading::discarded);
    EXPECT_EQ(heading_of("Allocating common symbols"), heading::common_symbols);
    EXPECT_EQ(heading_of("Archive member included to satisfy reference by file (symbol)"),
              heading::archive_members);
    EXPECT_EQ(heading_of("Cross Reference Table"), heading::cross_reference);
    EXPECT_EQ(heading_of(" Memory Configuration"), heading::none);
    EXPECT_EQ(heading_of("Memory Configuration of the part"), heading::none);
    EXPECT_EQ(heading_of(""), heading::none);
}

TEST(GnuNumbers, HexTokensOfThirtyTwoAndSixtyFourBitHosts) {
    std::uint64_t value = 1;
    EXPECT_TRUE(read_hex_token("0x08000000", value));
    EXPECT_EQ(value, 0x08000000u);
    EXPECT_TRUE(read_hex_token("0x0000000000800100", value));
    EXPECT_EQ(value, 0x800100u);
    EXPECT_TRUE(read_hex_token("0xFFFFFFFFFFFFFFFF", value));
    EXPECT_EQ(value, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_TRUE(read_hex_token("0X2b", value));
    EXPECT_EQ(value, 0x2Bu);
    value = 7;
    for (const char* bad : {"0x", "08000000", "0x00000000000000000", "0x12g4", "x12", ""}) {
        EXPECT_FALSE(read_hex_token(bad, value)) << bad;
    }
    EXPECT_EQ(value, 7u);
}

// The values of a line are read in one pass over blanks and digits; they must be taken exactly
// where each whole token is a hexadecimal token, whatever the blanks around them.
TEST(GnuNumbers, AddressAndSizeAreTwoWholeHexTokens) {
    const char* tokens[] = {"0x08000000",        "0x0000000000800100",  "0X2b",   "0x",
                            "08000000",          "0x00000000000000000", "0x12g4", "symbol",
                            "0xffffffffffffffff"};
    const char* blanks[] = {" ", "\t", "         ", "                 \t ", "\r"};
    for (const char* first : tokens) {
        for (const char* second : tokens) {
            for (const char* blank : blanks) {
                const std::string text =
                    std::string(blank) + first + blank + second + blank + "rest of it ";
                std::uint64_t address = 0;
                std::uint64_t size = 0;
                const bool expected =
                    read_hex_token(first, address) && read_hex_token(second, size);
                address_size values;
                ASSERT_EQ(read_address_size(text, values), expected) << text;
                if (expected) {
                    EXPECT_EQ(values.address, address) << text;
                    EXPECT_EQ(values.size, size) << text;
                    EXPECT_EQ(values.rest, "rest of it") << text;
                }
            }
        }
    }
}

TEST(GnuNumbers, LoadAddressOfAnOutputSection) {
    std::uint64_t address = 0;
    EXPECT_TRUE(read_load_address("load address 0x08000484", address));
    EXPECT_EQ(address, 0x08000484u);
    EXPECT_FALSE(read_load_address("", address));
    EXPECT_FALSE(read_load_address("load 0x08000484", address));
    EXPECT_FALSE(read_load_address("load address", address));
}

TEST(GnuLines, OutputSectionsWithValuesOrNameAlone) {
    map_line line = classify(".data           0x20000000       0x14 load address 0x08000484");
    EXPECT_EQ(line.kind, line_kind::output_section);
    EXPECT_EQ(line.name, ".data");
    ASSERT_TRUE(line.has_values);
    EXPECT_EQ(line.values.address, 0x20000000u);
    EXPECT_EQ(line.values.size, 0x14u);
    EXPECT_EQ(line.values.rest, "load address 0x08000484");

    line = classify(".ARM.attributes");
    EXPECT_EQ(line.kind, line_kind::output_section);
    EXPECT_EQ(line.name, ".ARM.attributes");
    EXPECT_FALSE(line.has_values);

    line = classify("text            0x0000000000000000      0x37c");
    EXPECT_EQ(line.kind, line_kind::output_section);
    EXPECT_EQ(line.values.size, 0x37Cu);
}

TEST(GnuLines, InputSectionsPaddingAndTheirFiles) {
    map_line line = classify(" .text.crc16    0x080003ec       0x44 libhal.a(crc.o)");
    EXPECT_EQ(line.kind, line_kind::input_section);
    EXPECT_EQ(line.name, ".text.crc16");
    EXPECT_EQ(line.values.address, 0x080003ECu);
    EXPECT_EQ(line.values.rest, "libhal.a(crc.o)");

    line = classify(" .trampolines   0x0000000000000068        0x0 linker stubs");
    EXPECT_EQ(line.values.rest, "linker stubs");

    line = classify(" *fill*         0x08000048        0x6 ff");
    EXPECT_EQ(line.kind, line_kind::input_section);
    EXPECT_EQ(line.name, "*fill*");
    EXPECT_EQ(line.values.size, 6u);

    line = classify(" .text.Reset_Handler");
    EXPECT_EQ(line.kind, line_kind::input_section);
    EXPECT_FALSE(line.has_values);

    line = classify("                0x080001d0       0x50 startup.o");
    EXPECT_EQ(line.kind, line_kind::values);
    EXPECT_EQ(line.values.address, 0x080001D0u);
    EXPECT_EQ(line.values.rest, "startup.o");
}

TEST(GnuLines, StatementsSymbolsAndNotesAreNoSections) {
    for (const char* other : {
             " *(.text*)",
             " *(.text .text.*)",
             " KEEP(*(.isr_vector))",
             " *libc.a:*(.progmem.data)",
             " SORT(*)(.ctors)",
             " FILL mask 0xff",
             "                0x08000000                vectors",
             "                0x08000040                        . = ALIGN (0x4)",
             "                0x20005000                        _estack = (ORIGIN (RAM) + 0x5000)",
             "                                 0x27 (size before relaxing)",
             "                [0x0000000000800100]                __DATA_REGION_ORIGIN__ = "
             "0x800060",
             "                [!provide]                        PROVIDE (__noinit_start, .)",
             "LOAD startup.o",
             "START GROUP",
             "OUTPUT(arm1.elf elf32-littlearm)",
             "Address of section .data set to 0x800100",
             "",
             "    ",
         }) {
        EXPECT_EQ(classify(other).kind, line_kind::other) << other;
    }
    // A data statement is indented values with the statement after them.
    const map_line data = classify("                0x08000000        0x4 LONG 0x20005000");
    EXPECT_EQ(data.kind, line_kind::values);
    EXPECT_EQ(data.values.rest, "LONG 0x20005000");
}

// classify reads the lines that ld on a 64-bit host indents by sixteen blanks from their fixed
// places: on such lines and every kind of damage to them, it must give what the reading of a
// line of any shape gives.
TEST(GnuLines, FixedPlacesGiveWhatAnyShapeGives) {
    std::mt19937 random(20261209);
    const std::string digits = "0123456789abcdefABCDEF";
    const std::string strays = "xX \t-g.(";
    const auto digits_of = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += digits[random() % digits.size()];
        }
        return text;
    };
    for (int round = 0; round < 200000; ++round) {
        std::string line(16, ' ');
        line += "0x" + (random() % 2 ? std::string(8, '0') : digits_of(8)) + digits_of(8);
        switch (random() % 4) {
            case 0:  // a symbol or an assignment
                line += std::string(16, ' ') + (random() % 2 ? "main" : "_estack = .");
                break;
            case 1:  // a data statement
                line += "        0x" + digits_of(1 + random() % 9) + " LONG 0x1234";
                break;
            default: {  // the values of an input section, with a file or none
                const std::string size = "0x" + digits_of(1 + random() % 9);
                line += std::string(size.size() < 10 ? 11 - size.size() : 1, ' ') + size;
                line += random() % 4 == 0 ? std::string(random() % 3, ' ') : " libhal.a(crc.o)";
                break;
            }
        }
        for (int damage = static_cast<int>(random() % 3); damage > 0; --damage) {
            line[random() % line.size()] = strays[random() % strays.size()];
        }
        if (random() % 8 == 0) {
            line.resize(random() % line.size());
        }
        const map_line fast = classify(line);
        const map_line any = classify_any(line);
        ASSERT_EQ(fast.kind, any.kind) << '"' << line << '"';
        ASSERT_EQ(fast.name, any.name) << '"' << line << '"';
        ASSERT_EQ(fast.has_values, any.has_values) << '"' << line << '"';
        ASSERT_EQ(fast.values.address, any.values.address) << '"' << line << '"';
        ASSERT_EQ(fast.values.size, any.values.size) << '"' << line << '"';
        ASSERT_EQ(fast.values.rest, any.values.rest) << '"' << line << '"';
    }
}

}  // namespace
}  // namespace tarvel::gnu
