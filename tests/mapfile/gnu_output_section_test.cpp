#include "mapfile/gnu_output_section.h"

#include <gtest/gtest.h>

#include "mapfile/gnu_section_rules.h"

namespace tarvel::gnu {
namespace {

section_piece piece(const char* name, std::uint64_t address, std::uint64_t size,
                    const char* file = "") {
    section_piece p;
    p.name = name;
    p.address = address;
    p.size = size;
    p.file = file;
    p.has_contents = !input_without_contents(name);
    return p;
}

output_section section(const char* name, std::uint64_t address, std::uint64_t size) {
    output_section s;
    s.name = name;
    s.has_values = true;
    s.address = address;
    s.size = size;
    return s;
}

output_section loaded_at(output_section s, std::uint64_t load_address) {
    s.has_load_address = true;
    s.load_address = load_address;
    return s;
}

TEST(GnuLoadImage, InitialisedDataIsCopiedToTheLoadAddress) {
    output_section data = loaded_at(section(".data", 0x20000000, 0x14), 0x08000484);
    data.pieces = {piece(".data.frame_counter", 0x20000000, 2, "main.o"),
                   piece("*fill*", 0x20000002, 2),
                   piece(".data.uart_baud", 0x20000004, 0x10, "libhal.a(uart.o)")};
    EXPECT_TRUE(has_load_image(data));
    const auto pieces = counted_pieces(data);
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(pieces[3].name, ".data.frame_counter");
    EXPECT_EQ(pieces[3].address, 0x08000484u);
    EXPECT_EQ(pieces[3].file, "main.o");
    EXPECT_EQ(pieces[4].name, "*fill*");
    EXPECT_EQ(pieces[4].address, 0x08000486u);
    EXPECT_EQ(pieces[5].address, 0x08000488u);
    EXPECT_EQ(pieces[5].size, 0x10u);
    EXPECT_EQ(pieces[5].file, "libhal.a(uart.o)");
}

TEST(GnuLoadImage, SectionsWithoutContentsHaveNone) {
    // ld prints a load address for .bss after an AT> section, and for NOLOAD reservations.
    output_section bss = loaded_at(section(".bss", 0x20000014, 0x6c), 0x08000498);
    bss.pieces = {piece(".bss.frame", 0x20000014, 0x18), piece("COMMON", 0x2000002c, 0x54)};
    EXPECT_FALSE(has_load_image(bss));
    EXPECT_EQ(counted_pieces(bss).size(), 2u);

    output_section heap = loaded_at(section("._user_heap_stack", 0x20000080, 0x600), 0x08000498);
    heap.pieces = {piece("*fill*", 0x20000080, 0x600)};
    EXPECT_FALSE(has_load_image(heap));

    // A stack whose input section has contents (an assembler ".space") under a NOLOAD name.
    output_section stack = loaded_at(section(".stack", 0x20000680, 0x400), 0x08000498);
    stack.pieces = {piece(".stack", 0x20000680, 0x400)};
    EXPECT_FALSE(has_load_image(stack));

    output_section noinit = loaded_at(section(".noinit", 0x20000080, 2), 0x080004a4);
    noinit.pieces = {piece(".noinit", 0x20000080, 2)};
    EXPECT_FALSE(has_load_image(noinit));

    // Zero-initialised data inside a section with contents is loaded with it, as ld does.
    output_section mixed = loaded_at(section(".data", 0x20000000, 8), 0x08000100);
    mixed.pieces = {piece(".bss.x", 0x20000000, 4), piece(".data.y", 0x20000004, 4)};
    EXPECT_TRUE(has_load_image(mixed));
    EXPECT_EQ(counted_pieces(mixed).size(), 4u);

    // Only pieces with bytes decide: an empty .data input does not make a section loaded.
    output_section empty_data = loaded_at(section(".igot", 0x20000000, 4), 0x08000100);
    empty_data.pieces = {piece(".data", 0x20000000, 0), piece("*fill*", 0x20000000, 4)};
    EXPECT_FALSE(has_load_image(empty_data));
}

TEST(GnuLoadImage, NoneWhereLoadAndRunAddressAreOne) {
    output_section text = section(".text", 0x100, 4);
    text.pieces = {piece(".text", 0x100, 4)};
    EXPECT_FALSE(has_load_image(text));
    EXPECT_FALSE(has_load_image(loaded_at(text, 0x100)));
    EXPECT_TRUE(has_load_image(loaded_at(text, 0x200)));
}

TEST(GnuSectionRest, WhatNoPieceAccountsForIsAnEntryOfTheSection) {
    output_section stack = section(".stack", 0x20000000, 0x400);
    stack.pieces = {piece("*fill*", 0x20000000, 0x100)};
    auto pieces = counted_pieces(stack);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].name, ".stack");
    EXPECT_EQ(pieces[1].address, 0x20000100u);
    EXPECT_EQ(pieces[1].size, 0x300u);
    EXPECT_EQ(pieces[1].file, "");

    // A section listed without pieces is one entry; one without values none.
    EXPECT_EQ(counted_pieces(section(".vectors", 0, 0x68)).size(), 1u);
    output_section alone;
    alone.name = ".ARM.exidx";
    EXPECT_TRUE(counted_pieces(alone).empty());

    // The rest of a loaded section is loaded too.
    output_section data = loaded_at(section(".data", 0x20000000, 8), 0x08000000);
    data.pieces = {piece(".data", 0x20000000, 4)};
    pieces = counted_pieces(data);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[3].address, 0x08000004u);
    EXPECT_EQ(pieces[3].size, 4u);
}

TEST(GnuSectionRules, SectionsThatTakeNoTargetMemory) {
    for (const char* name :
         {".debug_info", ".debug_line_str", ".zdebug_info", ".stab", ".stabstr", ".stab.excl",
          ".comment", ".ARM.attributes", ".riscv.attributes", ".gnu.attributes", ".line",
          "/DISCARD/", ".xt.prop", ".xt.lit", ".xtensa.info"}) {
        EXPECT_NE(not_in_target_rule(name, 0), nullptr) << name;
        EXPECT_NE(not_in_target_rule(name, 0x08000000), nullptr) << name;
    }
    EXPECT_NE(not_in_target_rule(".note.gnu.avr.deviceinfo", 0), nullptr);
    EXPECT_EQ(not_in_target_rule(".note.gnu.build-id", 0x08000200), nullptr);
    for (const char* name : {".text", ".data", ".isr_vector", ".vectors", "text", ".commentary"}) {
        EXPECT_EQ(not_in_target_rule(name, 0), nullptr) << name;
    }
}

TEST(GnuSectionRules, InputAndOutputSectionsWithoutContents) {
    for (const char* name : {".bss", ".bss.frame", ".sbss", ".tbss", "COMMON", "*fill*", ".noinit",
                             ".gnu.linkonce.b.x", ".scommon"}) {
        EXPECT_TRUE(input_without_contents(name)) << name;
    }
    EXPECT_TRUE(input_without_contents(".ccmbss"));  // a section attribute's own name
    for (const char* name : {".data", ".data.bss_table", ".rodata", "LONG", ".text.bss_init",
                             ".rodata.clear_bss.str1.4"}) {
        EXPECT_FALSE(input_without_contents(name)) << name;
    }
    for (const char* name : {".bss", ".noinit", ".stack", "._stack", ".heap", "._heap", ".ccmbss",
                             ".dram0.bss", ".rtc_noinit", ".dtcm_bss"}) {
        EXPECT_TRUE(output_without_contents(name)) << name;
    }
    EXPECT_FALSE(output_without_contents(".data"));
    EXPECT_FALSE(output_without_contents("._user_heap_stack"));  // decided by its pieces
}

}  // namespace
}  // namespace tarvel::gnu
