#include "mapfile/map_file_lld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "mapfile/gnu_output_section.h"
#include "mapfile/lld_map_line.h"
#include "support/random_sections.h"
#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

// A map as ld.lld 14 writes it for a Cortex-M program with flash at 0x08000000 and .data loaded
// from flash, cut down to one case of each kind of line.
const std::string small_map =
    "     VMA      LMA     Size Align Out     In      Symbol\n"
    "       0        0  8000000     1 . = 0x08000000\n"
    " 8000000  8000000       64     4 .text\n"
    " 8000000  8000000        0     4         main.o:(.text)\n"
    " 8000000  8000000       24     2         main.o:(.text.main)\n"
    " 8000001  8000001       24     1                 main\n"
    " 8000024  8000024       26     4         main.o:(.text._start)\n"
    " 800004c  800004c       18     2         libh.a(helper.o):(.text.helper)\n"
    " 800004d  800004d       18     1                 helper\n"
    " 8000064  8000064        6     1 .rodata\n"
    " 8000064  8000064        6     1         main.o:(.rodata.msg)\n"
    " 800006c  800006c       10     4 .ARM.exidx\n"
    " 800006c  800006c       10     4         <internal>:(.ARM.exidx)\n"
    "20000000  800007c       10     4 .data\n"
    "20000000  800007c       10     4         main.o:(.data.table)\n"
    "20000010  800008c       44     4 .bss\n"
    "20000010  800008c        4     4         main.o:(.bss.counter)\n"
    "20000014  8000090       40     1         libh.a(helper.o):(.bss.buf)\n"
    "20000054 20000054      400     1 .stack\n"
    "20000054 20000054      400     1         . = . + 0x400\n"
    "20000454 20000454        0     1 _estack = .\n"
    "       0        0       37     1 .comment\n"
    "       0        0       37     1         <internal>:(.comment)\n"
    "       0        0       d0     4 .symtab\n"
    "       0        0       d0     4         <internal>:(.symtab)\n";

std::uint64_t sum(const std::vector<c_map_entry>& entries) {
    std::uint64_t total = 0;
    for (const c_map_entry& e : entries) {
        total += e.size;
    }
    return total;
}

class LldParse : public test::c_reader_test<c_map_file_lld> {
  protected:
    LldParse() {
        def.program = {{0x08000000, 0x10000, no_area}};
        def.memory = {{0x20000000, 0x5000, no_area}};
    }
};

TEST_F(LldParse, InputSectionsFillTheirOutputSectionsAndDataIsLoadedFromFlash) {
    const parse_result r = parse(small_map);
    ASSERT_TRUE(r.result);
    // .text 0x64, .rodata 6, .ARM.exidx 0x10 and the load image of .data 0x10; .bss has a load
    // address in the map but no contents, and the stack reservation is RAM.
    EXPECT_EQ(sum(r.program), 0x64u + 6u + 0x10u + 0x10u);
    EXPECT_EQ(sum(r.memory), 0x10u + 0x44u + 0x400u);
    // .text holds 2 bytes of alignment before .text.helper, which an entry of its own holds
    // where they lie.
    EXPECT_EQ(names(r.program),
              (std::vector<std::string>{".text.main", ".text._start", ".text", ".text.helper",
                                        ".rodata.msg", ".ARM.exidx", ".data.table"}));
    EXPECT_EQ(names(r.memory),
              (std::vector<std::string>{".data.table", ".bss.counter", ".bss.buf", ".stack"}));
    EXPECT_EQ(r.program[6].address, 0x0800007Cu);  // the load image, at the load address
    EXPECT_EQ(r.memory[0].address, 0x20000000u);
}

TEST_F(LldParse, GapsBetweenInputSectionsBecomeAnEntryOfTheOutputSection) {
    const parse_result r = parse(
        "     VMA      LMA     Size Align Out     In      Symbol\n"
        " 8000000  8000000       20     4 .text\n"
        " 8000000  8000000        6     2         a.o:(.text.a)\n"
        " 8000010  8000010        8     4         b.o:(.text.b)\n");
    // Each part that no input section holds is an entry where it lies: between a and b, and
    // after b up to the section's end.
    EXPECT_EQ(names(r.program), (std::vector<std::string>{".text.a", ".text", ".text.b", ".text"}));
    EXPECT_EQ(sum(r.program), 0x20u);
}

TEST_F(LldParse, ObjectFilesAndArchiveMembersAreTheOrigins) {
    c_map_file_lld reader(text_source::text(small_map));
    c_entry_list program;
    c_entry_list memory;
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    std::vector<std::string> origins;
    for (const entry_origin& origin : reader.origins()) {
        origins.push_back(origin.archive + "|" + origin.object);
    }
    EXPECT_EQ(origins, (std::vector<std::string>{"|main.o", "libh.a|helper.o", "|<internal>"}));
    // Sections never loaded are counted apart, with their rule.
    EXPECT_GT(reader.counts().dropped_total(), 0u);
}

// A run that needs the sums alone keeps no origin for an entry it folds into them, only for
// one in no area.
TEST_F(LldParse, ListsOfSumsOnlyKeepTheOriginsOfUnplacedEntriesAlone) {
    def.memory = {{0x20000000, 0x14, no_area}};  // helper.o's .bss.buf lies beyond
    c_map_file_lld reader(text_source::text(small_map));
    c_entry_list program;
    c_entry_list memory;
    program.keep_sums_only();
    memory.keep_sums_only();
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    ASSERT_EQ(reader.origins().size(), 1u);
    EXPECT_EQ(reader.origins()[0].object, "helper.o");
    ASSERT_EQ(reader.unplaced().size(), 2u);  // and the room of .stack, which no file fills
    EXPECT_EQ(reader.unplaced()[0].name, ".bss.buf");
    EXPECT_EQ(reader.unplaced()[0].origin, 0u);
    EXPECT_EQ(reader.unplaced()[1].origin, no_origin);
    std::uint64_t folded = 0;
    memory.for_each_unordered([&](const c_map_entry& e) { folded += e.size; });
    EXPECT_EQ(folded, 0x14u);  // .data.table and .bss.counter
}

TEST_F(LldParse, TheOlderLayoutWithoutLoadAddressesAndSixtyFourBitAddresses) {
    const parse_result older = parse(
        "Address          Size             Align Out     In      Symbol\n"
        "0000000008000000 0000000000000010     4 .text\n"
        "0000000008000000 0000000000000010     4         main.o:(.text)\n");
    EXPECT_EQ(sum(older.program), 0x10u);
    // An address beyond 32 bits is no address of the target's memory.
    const parse_result wide = parse(
        "             VMA              LMA     Size Align Out     In      Symbol\n"
        "     100000000        100000000       10     4 .text\n"
        "     100000000        100000000       10     4         main.o:(.text)\n");
    EXPECT_FALSE(wide.result);
}

TEST_F(LldParse, ALineThatIsNoRowOfTheTableIsCountedAsDamage) {
    c_map_file_lld reader(
        text_source::text("     VMA      LMA     Size Align Out     In      Symbol\n"
                          " 8000000  8000000       64     4 .text\n"
                          " 8000000  8000000   garbage\n"));
    c_entry_list program;
    c_entry_list memory;
    (void)reader.parse(def, program, memory);
    EXPECT_EQ(reader.counts().damaged_lines, 1u);
    EXPECT_EQ(reader.counts().first_damaged_line, 3u);
}

TEST_F(LldParse, NothingBeforeTheHeadingNorAfterTheCrossReferenceCounts) {
    EXPECT_FALSE(parse(" 8000000  8000000       64     4 .text\n").result);
    const parse_result r = parse(
        "     VMA      LMA     Size Align Out     In      Symbol\n"
        " 8000000  8000000        4     4 .text\n"
        "\n"
        "Symbol                                File\n"
        " 8000000  8000000       64     4 .more\n");
    EXPECT_EQ(sum(r.program), 4u);
}

TEST_F(LldParse, NamesOfALargeSectionSurviveUntilItIsCounted) {
    // Enough pieces with long names to fill several blocks of name storage, in two sections,
    // from a few files named again and again.
    std::string map = "     VMA      LMA     Size Align Out     In      Symbol\n";
    const auto hex = [](std::uint32_t value) {
        char text[16];
        std::snprintf(text, sizeof text, "%8x", value);
        return std::string(text);
    };
    const std::string padding(60, 'x');
    std::uint32_t address = 0x08000000;
    for (const char* section : {".text", ".rodata"}) {
        map += hex(address) + " " + hex(address) + "     7d00     4 " + section + "\n";
        for (int i = 0; i < 4000; ++i) {
            map += hex(address) + " " + hex(address) + "        8     4         lib" +
                   std::to_string(i % 3) + ".a(m.o):(" + section + "." + padding +
                   std::to_string(i) + ")\n";
            address += 8;
        }
    }
    c_map_file_lld reader(text_source::text(map));
    c_entry_list program;
    c_entry_list memory;
    def.program = {{0x08000000, 0x20000, no_area}};
    ASSERT_TRUE(test::placed_any(reader.parse(def, program, memory)));
    std::size_t count = 0;
    for (const c_map_entry& entry : program) {
        const std::string expected = std::string(count < 4000 ? ".text." : ".rodata.") + padding +
                                     std::to_string(count % 4000);
        ASSERT_EQ(entry.name, expected) << count;
        ASSERT_EQ(reader.origins().at(entry.origin).archive,
                  "lib" + std::to_string(count % 4000 % 3) + ".a");
        ++count;
    }
    EXPECT_EQ(count, 8000u);
    EXPECT_EQ(reader.origins().size(), 3u);
}

// The reader counts a section's pieces as they come (a section with a load image is held
// whole); counted_pieces counts a section held whole. On random sections with merged, empty,
// overlapping and uncovered pieces and pieces past the section's end, both must give the same
// entries, with symbol lines between the pieces.
TEST_F(LldParse, PiecesCountedAsTheyComeGiveWhatTheWholeSectionGives) {
    using figures_row = std::tuple<std::string, std::uint32_t, std::uint32_t, std::uint32_t>;
    const auto hex = [](std::uint64_t value) {
        char text[24];
        std::snprintf(text, sizeof text, "%8llx", static_cast<unsigned long long>(value));
        return std::string(text);
    };
    test::c_random_sections random(777);
    for (int round = 0; round < 200; ++round) {
        const bool with_image = round % 3 == 0;
        test::random_section made = with_image ? random.next(".data", 0x20000000, false)
                                               : random.next(".text", 0x08000000, false);
        gnu::output_section& section = made.section;
        const std::uint64_t load = with_image ? 0x08008000 : section.address;
        std::string rows;
        for (std::size_t i = 0; i < section.pieces.size(); ++i) {
            const gnu::section_piece& p = section.pieces[i];
            const std::uint64_t offset = p.address - section.address;
            rows += hex(p.address) + " " + hex(load + offset) + " " + hex(p.size) +
                    "     4         " + std::string(p.file) + ":(" + std::string(p.name) + ")\n";
            rows += hex(p.address) + " " + hex(load + offset) +
                    "        0     1                 symbol_" + std::to_string(i) + "\n";
        }
        section.has_load_address = with_image;
        section.load_address = load;
        std::vector<figures_row> expected;
        for (const gnu::section_piece& p : gnu::counted_pieces(section)) {
            if (p.counted > 0) {  // a piece that holds no byte is no entry
                expected.emplace_back(std::string(p.name), static_cast<std::uint32_t>(p.address),
                                      static_cast<std::uint32_t>(p.counted),
                                      static_cast<std::uint32_t>(p.size - p.counted));
            }
        }
        const std::string map = "     VMA      LMA     Size Align Out     In      Symbol\n" +
                                hex(section.address) + " " + hex(load) + " " + hex(section.size) +
                                "     4 " + section.name + "\n" + rows;
        SCOPED_TRACE("round " + std::to_string(round) + "\n" + map);
        const parse_result r = parse(map);
        std::vector<figures_row> placed;
        for (const auto* entries : {&r.program, &r.memory}) {
            for (const c_map_entry& e : *entries) {
                placed.emplace_back(std::string(e.name), e.address, e.size, e.uncounted);
            }
        }
        std::sort(placed.begin(), placed.end());
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(placed.size(), expected.size());
        for (std::size_t i = 0; i < placed.size(); ++i) {
            ASSERT_EQ(placed[i], expected[i]) << i;
        }
    }
}

TEST(LldMapLine, NumberColumns) {
    using namespace lld;
    map_line line;
    // Upper-case digits and tabs between columns; 16 digits at most.
    ASSERT_TRUE(read_line("2000000A\t800007C 1F  4 .data", columns::vma_lma, line));
    EXPECT_EQ(line.address, 0x2000000Au);
    EXPECT_EQ(line.load_address, 0x0800007Cu);
    EXPECT_EQ(line.size, 0x1Fu);
    ASSERT_TRUE(read_line("ffffffffffffffff 0 4 .text", columns::address_only, line));
    EXPECT_EQ(line.address, 0xFFFFFFFFFFFFFFFFu);
    EXPECT_FALSE(read_line("10000000000000000 0 4 .text", columns::address_only, line));
    // A column with another character, or a column missing, is no row.
    EXPECT_FALSE(read_line(" 8000000  80g0000  24  4 .text", columns::vma_lma, line));
    EXPECT_FALSE(read_line(" 8000000  8000000  24-  4 .text", columns::vma_lma, line));
    EXPECT_FALSE(read_line(" 8000000  8000000  24", columns::vma_lma, line));
    EXPECT_TRUE(is_blank(" \t "));
    EXPECT_FALSE(is_blank("   x"));
    EXPECT_FALSE(is_cross_reference_heading(" 8000000  8000000  24  4 Symbol File"));
    EXPECT_TRUE(is_cross_reference_heading("  Symbol   File"));
}

// The number columns read eight digits at a time, against a digit-by-digit reading, on columns
// of every width (up to 18 digits), either case, and a stray character inside or after them.
TEST(LldMapLine, NumberColumnsAgreeWithADigitByDigitReading) {
    using namespace lld;
    std::mt19937 random(20261209);
    const std::string digits = "0123456789abcdefABCDEF";
    const std::string strays = "gx-:.(";
    // The column's value, or false where it is no number of 1 to 16 hexadecimal digits.
    const auto reference = [](const std::string& column, std::uint64_t& value) {
        if (column.empty() || column.size() > 16) {
            return false;
        }
        value = 0;
        for (const char c : column) {
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return true;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        std::uint64_t expected[3] = {};
        bool valid = true;
        // Half of the rows in the fixed columns of a 32-bit target, where they fit.
        const bool fixed = random() % 2 == 0;
        for (std::uint64_t& value : expected) {
            std::string column(random() % (fixed ? 10 : 19), '0');
            for (char& c : column) {
                c = digits[random() % digits.size()];
            }
            if (random() % 8 == 0 && !column.empty()) {
                column[random() % column.size()] = strays[random() % strays.size()];
            }
            valid = reference(column, value) && valid;
            if (fixed) {
                line.append(line.empty() ? 0 : 1, ' ');
                line.append(column.size() < 8 ? 8 - column.size() : 0, ' ');
            } else {
                line.append(1 + random() % 9, random() % 4 == 0 ? '\t' : ' ');
            }
            line += column;
        }
        line += fixed && random() % 2 == 0 ? " " + std::to_string(random() % 100000) : "     4";
        line += "         main.o:(.text.main)";
        map_line parsed;
        ASSERT_EQ(read_line(line, columns::vma_lma, parsed), valid) << line;
        if (valid) {
            EXPECT_EQ(parsed.address, expected[0]) << line;
            EXPECT_EQ(parsed.load_address, expected[1]) << line;
            EXPECT_EQ(parsed.size, expected[2]) << line;
        }
    }
}

TEST(LldMapLine, LevelsAreToldByIndentation) {
    using namespace lld;
    map_line line;
    ASSERT_TRUE(read_line("20000000  800007c       10     4 .data", columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::output_section);
    EXPECT_EQ(line.load_address, 0x0800007Cu);
    ASSERT_TRUE(read_line(" 8000000  8000000  24  2         C:/lib (x86)/libh.a(a.o):(.text.f)",
                          columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::input_section);
    EXPECT_EQ(line.file, "C:/lib (x86)/libh.a(a.o)");
    EXPECT_EQ(line.name, ".text.f");
    // The section opens at the last ":(", whatever brackets come before or inside it.
    ASSERT_TRUE(read_line(" 8000000  8000000  24  2         a(b):c.o:(.text.f(x)(y))",
                          columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::input_section);
    EXPECT_EQ(line.file, "a(b):c.o");
    EXPECT_EQ(line.name, ".text.f(x)(y)");
    ASSERT_TRUE(read_line(" 8000000  8000000  24  2         (a.o)(.text)", columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::other);
    ASSERT_TRUE(read_line(" 8000001  8000001  24  1                 main", columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::other);
    // Script commands at the level of output sections are not sections.
    ASSERT_TRUE(read_line("20000454 20000454  0  1 _estack = .", columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::other);
    ASSERT_TRUE(read_line("20000454 20000454  0  1 PROVIDE(end = .)", columns::vma_lma, line));
    EXPECT_EQ(line.kind, line_kind::other);
    // The alignment is decimal.
    EXPECT_FALSE(read_line(" 8000000  8000000  24  1f .text", columns::vma_lma, line));
    EXPECT_FALSE(read_line("", columns::vma_lma, line));
    EXPECT_EQ(heading_of("Address Size Align Out In Symbol"), columns::address_only);
    EXPECT_EQ(heading_of("VMA LMA Size Align Out In"), columns::none);
}

}  // namespace
}  // namespace tarvel
