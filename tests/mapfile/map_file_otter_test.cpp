#include "mapfile/map_file_otter.h"

#include <gtest/gtest.h>

#include "mapfile/otter_map_line.h"
#include "support/reader_fixture.h"

namespace tarvel {
namespace {

using test::names;
using test::parse_result;

std::uint64_t sum(const std::vector<c_map_entry>& entries) {
    std::uint64_t total = 0;
    for (const c_map_entry& e : entries) {
        total += e.size;
    }
    return total;
}

const std::string image_heading = "Section   Base      Size(hex)  Size(dec)  SecOffs\n";
const std::string module_heading = "Origin+Size      Section  Module\n";
const std::string title = "Load Map Tue Mar 10 14:22:05 2026      Page 1\n\n";

class OtterParse : public test::c_reader_test<c_map_file_otter> {
  protected:
    OtterParse() {
        def.program = {{0x0, 0x40000, no_area}};
        def.memory = {{0xFEDE0000, 0x10000, no_area}};
    }

    parse_result parse_keeping(const std::string& map) {
        reader_ =
            std::make_unique<c_map_file_otter>(text_source::file(dir.write("k.map", map).string()));
        c_entry_list program;
        c_entry_list memory;
        parse_result r;
        r.result = test::placed_any(reader_->parse(def, program, memory));
        test::keep_placed(r, program, memory);
        return r;
    }

    std::unique_ptr<c_map_file_otter> reader_;
};

TEST_F(OtterParse, SectionsWithoutModuleLinesCountWholeWithFullAddresses) {
    const parse_result r = parse(title + "Image Summary\n\n" + image_heading +
                                 "INTTBL    00000000  00000100   256        00000400\n"
                                 ".text     00000100  00002a40   10816      00000500\n"
                                 ".bss      fede0084  00000520   1312       00000000\n");
    ASSERT_TRUE(r.result);
    EXPECT_EQ(names(r), (std::vector<std::string>{"INTTBL", ".text", ".bss"}));
    EXPECT_EQ(r.program[1].size, 0x2A40u);
    EXPECT_EQ(r.memory[0].address, 0xFEDE0084u);  // all 32 bits
    EXPECT_EQ(r.memory[0].origin, no_origin);
}

TEST_F(OtterParse, ModulePiecesAreTheEntriesAndARestKeepsTheSectionSize) {
    const parse_result r = parse_keeping(title + image_heading +
                                         ".text     00000100  00000400   1024       00000500\n"
                                         ".data     fede0000  00000080   128        00000000\n" +
                                         title + "Module Summary\n\n" + module_heading +
                                         "00000100+000128  .text    crt0.o\n"
                                         "00000228+0002c8  .text    libdrv.a(adc.o)\n"
                                         "fede0000+000040  .data    main.o\n"
                                         "fede0040+000040  .data    libdrv.a(adc.o)\n");
    ASSERT_TRUE(r.result);
    EXPECT_EQ(sum(r.program), 0x400u);
    EXPECT_EQ(sum(r.memory), 0x80u);
    // .text: two pieces and the rest of 0x10 bytes at the section's end, without origin.
    ASSERT_EQ(r.program.size(), 3u);
    EXPECT_EQ(r.program[0].size, 0x128u);
    EXPECT_EQ(r.program[1].size, 0x2C8u);
    EXPECT_EQ(r.program[2].name, ".text");
    EXPECT_EQ(r.program[2].address, 0x4F0u);
    EXPECT_EQ(r.program[2].size, 0x10u);
    EXPECT_EQ(r.program[2].origin, no_origin);
    ASSERT_EQ(r.memory.size(), 2u);  // adds up exactly: no rest

    const std::vector<entry_origin>& origins = reader_->origins();
    ASSERT_EQ(origins.size(), 3u);
    EXPECT_EQ(origins[r.program[0].origin].object, "crt0.o");
    EXPECT_EQ(origins[r.program[1].origin].object, "adc.o");
    EXPECT_EQ(origins[r.program[1].origin].archive, "libdrv.a");
    EXPECT_EQ(r.memory[1].origin, r.program[1].origin);  // one origin for the same module
    EXPECT_EQ(r.memory[1].name, ".data");
}

TEST_F(OtterParse, PiecesGoToTheSectionOfTheirNameThatHoldsThem) {
    // The module table may come first; two sections of one name are told by their ranges.
    const parse_result r = parse_keeping(module_heading +
                                         "00000100+000010  .text    a.o\n"
                                         "00020000+000020  .text    b.o\n"
                                         "00030000+000020  .text    outside.o\n"
                                         "00000110+000010  .const   a.o\n" +
                                         title + image_heading +
                                         ".text     00000100  00000010   16         00000000\n"
                                         ".text     00020000  00000020   32         00000000\n");
    EXPECT_EQ(sum(r.program), 0x30u);
    ASSERT_EQ(r.program.size(), 2u);
    EXPECT_EQ(reader_->origins()[r.program[1].origin].object, "b.o");
    const auto& dropped = reader_->counts().dropped;
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].rule, "module piece outside its section");
    EXPECT_EQ(dropped[0].count, 2u);
}

TEST_F(OtterParse, PiecesLargerThanTheirSectionGiveWayToIt) {
    const parse_result r = parse_keeping(
        image_heading + ".text     00000100  00000010   16         00000000\n" + module_heading +
        "00000100+000010  .text    a.o\n"
        "00000100+000008  .text    again.o\n");
    ASSERT_EQ(r.program.size(), 1u);
    EXPECT_EQ(r.program[0].size, 0x10u);
    EXPECT_EQ(r.program[0].origin, no_origin);
    EXPECT_EQ(reader_->counts().dropped.at(0).rule, "module pieces larger than their section");
}

TEST_F(OtterParse, DebuggingHeapAndLinkerSectionsCountNowhere) {
    const parse_result r =
        parse_keeping(image_heading +
                      ".text          00000100  00000010  16     00000000\n"
                      ".heap          fede1000  0000f000  61440  00000000\n"
                      ".linfix        fedfffe0  00000020  32     00000000\n"
                      ".gstackfix     fedfffc0  00000020  32     00000000\n"
                      ".note.renesas  00000000  00000040  64     00007c1c\n"
                      ".debug_info    00000000  00003a10  14864  000035e4\n"
                      "debug_frame    00000000  00000100  256    00000000\n" +
                      module_heading + "00000000+000040  .note.renesas  crt0.o\n");
    EXPECT_EQ(names(r), std::vector<std::string>{".text"});
    const reader_counts counts = reader_->counts();
    EXPECT_EQ(counts.recognised, 8u);
    EXPECT_EQ(counts.dropped_total(), 7u);
    EXPECT_EQ(counts.dropped.size(), 3u);
}

TEST_F(OtterParse, SymbolsAndTextOutsideTheTablesAreNoEntries) {
    const parse_result r = parse(title +
                                 "Output file: x.abs 00000000 00000100 256 00000000\n"
                                 "00000000+000100  .text    before_any_table.o\n" +
                                 image_heading +
                                 ".text     00000100  00000010   16         00000000\n"
                                 "a line that no table has\n" +
                                 title +
                                 ".late     00000200  00000010   16         00000000\n"
                                 "Global Symbols\n\n"
                                 "Section  Origin+Size      Symbol\n"
                                 ".text    00000100+000000  _RESET\n"
                                 ".text    00000104+000010  00000100  00000010 16 0\n");
    EXPECT_EQ(names(r), std::vector<std::string>{".text"});
    EXPECT_EQ(r.program[0].origin, no_origin);
}

TEST_F(OtterParse, ALineInATableThatIsNoRowIsCountedAsDamage) {
    parse_keeping(title + image_heading +
                  ".text     00000100  00000010   16         00000000\n"
                  "\n"
                  ".rodata   00000110  00000010   16\n"  // line 6: no offset
                  ".data     fede0000  00000010   16         00000000\n" +
                  module_heading +
                  "00000100+000010  .text    main.o\n"
                  "00000100 000010  .text    main.o\n" +  // line 10: no '+'
                  title +
                  "text between the tables\n");
    const reader_counts counts = reader_->counts();
    EXPECT_EQ(counts.damaged_lines, 2u);
    EXPECT_EQ(counts.first_damaged_line, 6u);
    EXPECT_NE(counts.first_damage.find("Image Summary row"), std::string::npos);

    parse_keeping(title + image_heading + ".text     00000100  00000010   16         00000000\n");
    EXPECT_EQ(reader_->counts().damaged_lines, 0u);
}

TEST_F(OtterParse, NoMapOrNothingPlacedGivesFalse) {
    EXPECT_FALSE(parse("").result);
    EXPECT_FALSE(parse(image_heading + ".text 30000000 00000010 16 0\n").result);
    c_map_file_otter missing(text_source::file((dir.path() / "none.map").string()));
    c_entry_list program;
    c_entry_list memory;
    EXPECT_FALSE(missing.parse(def, program, memory));
}

TEST(OtterLines, ImageAndModuleLinesByTheirColumns) {
    otter::image_section section;
    ASSERT_TRUE(otter::read_image_line("INTTBL 00000000 00000100 256 00000400", section));
    EXPECT_EQ(section.name, "INTTBL");
    EXPECT_EQ(section.size, 0x100u);
    ASSERT_TRUE(otter::read_image_line("  .data  FEDE0000  84  132  0\r", section));
    EXPECT_EQ(section.base, 0xFEDE0000u);
    for (const char* bad :
         {".text 00000100 00000010 16", ".text 00000100 00000010 0x10 0", ".text 100000000 10 16 0",
          ".text 00000100 0000001g 16 0", ".text 00000100 00000010 16 0 extra"}) {
        EXPECT_FALSE(otter::read_image_line(bad, section)) << bad;
    }

    otter::module_piece piece;
    ASSERT_TRUE(otter::read_module_line("00001c6c+000a20  .text  libdrv.a(adc.o)", piece));
    EXPECT_EQ(piece.origin, 0x1C6Cu);
    EXPECT_EQ(piece.size, 0xA20u);
    EXPECT_EQ(piece.section, ".text");
    EXPECT_EQ(piece.module, "libdrv.a(adc.o)");
    ASSERT_TRUE(otter::read_module_line("00000100+10 .text", piece));
    EXPECT_EQ(piece.module, "");
    EXPECT_FALSE(otter::read_module_line("00000100 .text a.o", piece));
    EXPECT_FALSE(otter::read_module_line("00000100+ .text a.o", piece));
    EXPECT_FALSE(otter::read_module_line("00000100+000010", piece));
}

TEST(OtterLines, HeadingsAndTitles) {
    EXPECT_EQ(otter::table_of_heading("Section  Base  Size(hex)  Size(dec)  SecOffs"),
              otter::table::image_summary);
    EXPECT_EQ(otter::table_of_heading("  Origin+Size  Section  Module\r"),
              otter::table::module_summary);
    EXPECT_EQ(otter::table_of_heading("Global Symbols"), otter::table::global_symbols);
    EXPECT_EQ(otter::table_of_heading("Section  Base  Size(hex)"), otter::table::none);
    EXPECT_TRUE(otter::ends_table("Load Map Tue Mar 10 14:22:05 2026   Page 2"));
    EXPECT_FALSE(otter::ends_table("Loaded Map"));
}

}  // namespace
}  // namespace tarvel
