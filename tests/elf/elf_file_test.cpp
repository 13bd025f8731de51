// The ELF reader on files built in memory: every class and byte order, load addresses from the
// program headers, and damaged or cut-short files.
#include "elf/elf_file.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/elf_builder.h"

namespace tarvel::test {
namespace {

using elf::elf_error;
using elf::elf_image;

// A small firmware image: code and constants in flash, .data run in RAM and stored after the
// code, .bss and a debugging section.
c_elf_builder firmware(bool is_64_bit, bool big_endian) {
    c_elf_builder builder(is_64_bit, big_endian);
    builder
        .section(
            {".text", elf::sht_progbits, elf::shf_alloc | elf::shf_execinstr, 0x08000000, 0x120})
        .section({".data", elf::sht_progbits, elf::shf_alloc | elf::shf_write, 0x20000000, 0x10})
        .section({".bss", elf::sht_nobits, elf::shf_alloc | elf::shf_write, 0x20000010, 0x400})
        .section({".debug_info", elf::sht_progbits, 0, 0, 0x30})
        .segment({0, 1, 0x08000000, 0x08000000})
        .segment({1, 2, 0x20000000, 0x08000120, 0x410});
    return builder;
}

std::optional<elf_image> parse(const std::vector<std::uint8_t>& bytes, elf_error& error) {
    c_result<elf_image, elf_error> image = elf::read_elf(bytes);
    if (!image) {
        error = image.error();
        return std::nullopt;
    }
    return std::move(image).value();
}

class ElfClassAndOrder : public ::testing::TestWithParam<std::tuple<bool, bool>> {};

TEST_P(ElfClassAndOrder, ReadsSectionsSegmentsAndLoadAddresses) {
    const auto [is_64, big] = GetParam();
    const elf_layout file = firmware(is_64, big).build();
    elf_error error;
    const std::optional<elf_image> image = parse(file.bytes, error);
    ASSERT_TRUE(image) << elf::describe(error);
    EXPECT_EQ(image->is_64_bit, is_64);
    EXPECT_EQ(image->big_endian, big);
    EXPECT_EQ(image->file_type, 2);
    EXPECT_EQ(image->machine, 40);
    ASSERT_EQ(image->sections.size(), 6u);  // null, four, .shstrtab
    EXPECT_EQ(image->sections[0].name, "");
    EXPECT_EQ(image->sections[5].name, ".shstrtab");

    const elf::section_header& text = image->sections[1];
    EXPECT_EQ(text.name, ".text");
    EXPECT_TRUE(text.allocated() && text.executable() && !text.writable());
    EXPECT_EQ(text.address, 0x08000000u);
    EXPECT_EQ(text.size, 0x120u);
    EXPECT_EQ(text.load_address, 0x08000000u);

    // .data lies in the second segment: stored after the code, run in RAM.
    const elf::section_header& data = image->sections[2];
    EXPECT_EQ(data.name, ".data");
    EXPECT_TRUE(data.writable());
    EXPECT_EQ(data.address, 0x20000000u);
    EXPECT_EQ(data.load_address, 0x08000120u);

    // Sections without contents are loaded nowhere: their load address is their address.
    const elf::section_header& bss = image->sections[3];
    EXPECT_FALSE(bss.has_contents());
    EXPECT_EQ(bss.size, 0x400u);
    EXPECT_EQ(bss.load_address, 0x20000010u);
    EXPECT_EQ(image->sections[4].load_address, 0u);
    EXPECT_FALSE(image->sections[4].allocated());

    ASSERT_EQ(image->segments.size(), 2u);
    EXPECT_EQ(image->segments[1].type, elf::pt_load);
    EXPECT_EQ(image->segments[1].virtual_address, 0x20000000u);
    EXPECT_EQ(image->segments[1].physical_address, 0x08000120u);
    EXPECT_EQ(image->segments[1].file_size, 0x10u);
    EXPECT_EQ(image->segments[1].memory_size, 0x410u);
}

INSTANTIATE_TEST_SUITE_P(AllFour, ElfClassAndOrder,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(ElfReader, SectionInNoLoadableSegmentRunsWhereItIsLoaded) {
    c_elf_builder builder(false, false);
    builder.section({".text", elf::sht_progbits, elf::shf_alloc, 0x1000, 8})
        .section({".ramfunc", elf::sht_progbits, elf::shf_alloc, 0x20000000, 8});
    const elf_layout file = builder.segment({0, 1, 0x1000, 0x1000}).build();
    elf_error error;
    const auto image = parse(file.bytes, error);
    ASSERT_TRUE(image) << elf::describe(error);
    EXPECT_EQ(image->sections[2].load_address, 0x20000000u);
}

TEST(ElfReader, AddressesAbove32BitsInElf64) {
    c_elf_builder builder(true, false);
    builder.section({".text", elf::sht_progbits, elf::shf_alloc, 0x1'0000'0000, 4})
        .segment({0, 1, 0x1'0000'0000, 0x2'0000'0000});
    elf_error error;
    const auto image = parse(builder.build().bytes, error);
    ASSERT_TRUE(image) << elf::describe(error);
    EXPECT_EQ(image->sections[1].address, 0x1'0000'0000u);
    EXPECT_EQ(image->sections[1].load_address, 0x2'0000'0000u);
}

// More than 0xff00 sections: e_shnum is 0 and section 0's sh_size holds the count.
TEST(ElfReader, ExtendedSectionCountFromSectionZero) {
    for (const bool is_64 : {false, true}) {
        c_elf_builder builder(is_64, true);
        const elf_layout built = builder.section({".text"}).build();
        std::vector<std::uint8_t> bytes = built.bytes;
        builder.put(bytes, builder.shnum_field(), 2, 0);
        builder.put(bytes, built.section_table + builder.sh_field("size"), builder.word(), 3);
        elf_error error;
        const auto image = parse(bytes, error);
        ASSERT_TRUE(image) << elf::describe(error);
        ASSERT_EQ(image->sections.size(), 3u);
        EXPECT_EQ(image->sections[1].name, ".text");
    }
}

TEST(ElfReader, NoSectionTableGivesNoSections) {
    c_elf_builder builder(false, false);
    elf_layout built = builder.build();
    builder.put(built.bytes, 32, 4, 0);  // e_shoff
    elf_error error;
    const auto image = parse(built.bytes, error);
    ASSERT_TRUE(image) << elf::describe(error);
    EXPECT_TRUE(image->sections.empty());
}

// Every damage gives an error that names the fault and the byte offset where it lies.
struct damage_case {
    const char* what;
    void (*damage)(const c_elf_builder&, elf_layout&);
    const char* message;
    std::size_t (*offset)(const c_elf_builder&, const elf_layout&);
};

const damage_case damage_cases[] = {
    {"magic", [](const c_elf_builder&, elf_layout& f) { f.bytes[1] = 'X'; }, "no ELF magic number",
     [](const c_elf_builder&, const elf_layout&) -> std::size_t { return 0; }},
    {"class", [](const c_elf_builder&, elf_layout& f) { f.bytes[4] = 3; }, "unknown ELF class 3",
     [](const c_elf_builder&, const elf_layout&) -> std::size_t { return 4; }},
    {"byte order", [](const c_elf_builder&, elf_layout& f) { f.bytes[5] = 0; },
     "unknown ELF byte order 0",
     [](const c_elf_builder&, const elf_layout&) -> std::size_t { return 5; }},
    {"section count",
     [](const c_elf_builder& b, elf_layout& f) { b.put(f.bytes, b.shnum_field(), 2, 0xfeff); },
     "section header table (65279 entries",
     [](const c_elf_builder& b, const elf_layout&) -> std::size_t {
         return b.word() == 8 ? 40 : 32;
     }},
    {"entry size",
     [](const c_elf_builder& b, elf_layout& f) { b.put(f.bytes, b.shentsize_field(), 2, 8); },
     "section header table entry size 8 is below",
     [](const c_elf_builder& b, const elf_layout&) { return b.shentsize_field(); }},
    {"name table index",
     [](const c_elf_builder& b, elf_layout& f) { b.put(f.bytes, b.shstrndx_field(), 2, 9); },
     "section name table index 9 is beyond the 3 sections",
     [](const c_elf_builder& b, const elf_layout&) { return b.shstrndx_field(); }},
    {"name offset",
     [](const c_elf_builder& b, elf_layout& f) {
         b.put(f.bytes, f.section_table + b.section_entry(), 4, 0x7fffffff);
     },
     "name of section 1 (offset 2147483647) is beyond the section name table",
     [](const c_elf_builder& b, const elf_layout& f) {
         return f.section_table + b.section_entry();
     }},
    {"unterminated name",
     [](const c_elf_builder&, elf_layout& f) { f.bytes[f.section_table - 1] = 'x'; },
     "name of section 2 runs past the end of the section name table",
     [](const c_elf_builder& b, const elf_layout& f) {
         return f.section_table + 2 * b.section_entry();
     }},
    {"section contents",
     [](const c_elf_builder& b, elf_layout& f) {
         b.put(f.bytes, f.section_table + b.section_entry() + b.sh_field("size"), b.word(),
               0xffffffff);
     },
     "section 1 (4294967295 bytes at offset",
     [](const c_elf_builder& b, const elf_layout& f) {
         return f.section_table + b.section_entry() + b.sh_field("offset");
     }},
};

TEST(ElfReader, DamagedHeadersNameTheFaultAndItsOffset) {
    for (const bool is_64 : {false, true}) {
        for (const damage_case& c : damage_cases) {
            c_elf_builder builder(is_64, !is_64);
            builder.section({".text", elf::sht_progbits, elf::shf_alloc, 0x100, 16});
            elf_layout file = builder.build();
            c.damage(builder, file);
            elf_error error;
            EXPECT_FALSE(parse(file.bytes, error)) << c.what;
            EXPECT_NE(error.message.find(c.message), std::string::npos)
                << c.what << ": " << error.message;
            EXPECT_EQ(error.offset, c.offset(builder, file)) << c.what;
        }
    }
}

// A file cut anywhere before its end fails cleanly: the tables come last, so every prefix
// lacks some of them.
TEST(ElfReader, EveryTruncationIsAnError) {
    for (const bool is_64 : {false, true}) {
        const elf_layout file = firmware(is_64, false).build();
        for (std::size_t length = 0; length < file.bytes.size(); ++length) {
            const std::vector<std::uint8_t> cut(file.bytes.begin(),
                                                file.bytes.begin() + static_cast<long>(length));
            elf_error error;
            EXPECT_FALSE(parse(cut, error)) << length;
            EXPECT_FALSE(error.message.empty()) << length;
            EXPECT_TRUE(error.offset < length || error.offset == 0)
                << length << ": " << error.message << " at " << error.offset;
        }
    }
}

TEST(ElfReader, LoadableSegmentPastTheEndIsAnError) {
    c_elf_builder builder(false, false);
    builder.section({".text", elf::sht_progbits, elf::shf_alloc, 0, 8}).segment({0, 1, 0, 0});
    elf_layout file = builder.build();
    builder.put(file.bytes, file.segment_table + 16, 4, 0x10000);  // p_filesz
    elf_error error;
    EXPECT_FALSE(parse(file.bytes, error));
    EXPECT_EQ(elf::describe(error),
              "loadable segment 0 (65536 bytes at offset 84) runs past the end of the file (" +
                  std::to_string(file.bytes.size()) + " bytes) (at byte 56)");
}

}  // namespace
}  // namespace tarvel::test
