#include "memdef/ld_script_memory.h"

#include <gtest/gtest.h>

#include <map>

#include "analysis/script_areas.h"

namespace tarvel {
namespace {

std::vector<ld_script_region> read(const std::string& text, std::string* error = nullptr) {
    c_result<std::vector<ld_script_region>> regions =
        read_ld_script_memory_text(text, "memory.x", {});
    if (!regions) {
        if (error != nullptr) {
            *error = ld_script_message(regions.error());
        }
        return {};
    }
    return std::move(regions).value();
}

TEST(LdScriptMemory, TheMemoryXOfARustProject) {
    const std::vector<ld_script_region> regions = read(
        "/* Linker script for the STM32F411 */\n"
        "MEMORY\n"
        "{\n"
        "  /* NOTE 1 K = 1 KiBi = 1024 bytes */\n"
        "  FLASH : ORIGIN = 0x08000000, LENGTH = 512K\n"
        "  RAM : ORIGIN = 0x20000000, LENGTH = 128K\n"
        "}\n"
        "_stack_start = ORIGIN(RAM) + LENGTH(RAM);\n");
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0].name, "FLASH");
    EXPECT_EQ(regions[0].origin, 0x08000000u);
    EXPECT_EQ(regions[0].length, 512u * 1024u);
    EXPECT_EQ(regions[1].length, 128u * 1024u);
    EXPECT_EQ(regions[1].attributes, "");
}

TEST(LdScriptMemory, AttributesArithmeticReferencesAndSymbols) {
    const std::vector<ld_script_region> regions = read(
        "FLASH_SIZE = 0x40000 - 16K;\n"
        "ENTRY(reset)\n"
        "MEMORY {\n"
        "  FLASH (rx!w) : org = 0x0, len = FLASH_SIZE\n"
        "  RAM (rwx) : o = 0x20000000, l = 64K - 2 * 1K\n"
        "  CCM (rw) : ORIGIN = ORIGIN(RAM) + LENGTH(RAM), LENGTH = (1 << 12) | 0x10\n"
        "  BOOT : ORIGIN = 0100, LENGTH = 1M\n"
        "}\n"
        "SECTIONS { .text : { *(.text*) } > FLASH }\n");
    ASSERT_EQ(regions.size(), 4u);
    EXPECT_EQ(regions[0].attributes, "rx!w");
    EXPECT_EQ(regions[0].length, 0x40000u - 0x4000u);
    EXPECT_EQ(regions[1].length, 62u * 1024u);
    EXPECT_EQ(regions[2].origin, 0x20000000u + 62u * 1024u);
    EXPECT_EQ(regions[2].length, 0x1010u);
    EXPECT_EQ(regions[3].origin, 64u);  // a leading 0 is octal
    EXPECT_EQ(regions[3].length, 1024u * 1024u);
}

TEST(LdScriptMemory, ErrorsNameTheLineAndTheFault) {
    std::string error;
    EXPECT_TRUE(read("MEMORY {\n FLASH : ORIGIN = 0, LENGTH = LENGTH(ROM)\n}\n", &error).empty());
    EXPECT_EQ(error, "memory.x line 2: unknown region 'ROM' in LENGTH(ROM)");
    read("MEMORY {\n RAM : ORIGIN = 0x2000, LENGTH = SIZE\n}\n", &error);
    EXPECT_EQ(error, "memory.x line 2: the symbol 'SIZE' has no value here");
    read("MEMORY {\n RAM : START = 0x2000, LENGTH = 4\n}\n", &error);
    EXPECT_EQ(error, "memory.x line 2: expected ORIGIN of region 'RAM', found 'START'");
    read("MEMORY {\n RAM : ORIGIN = 0x2000, LENGTH = 4\n", &error);
    EXPECT_EQ(error, "memory.x line 3: the MEMORY command is not closed");
    read("/* no end", &error);
    EXPECT_EQ(error, "memory.x line 1: the comment is not closed");
    read("SECTIONS { }\n", &error);
    EXPECT_EQ(error, "memory.x: the script has no MEMORY command with a region");
    read("MEMORY { RAM : ORIGIN = 8 / 0, LENGTH = 1 }", &error);
    EXPECT_EQ(error, "memory.x line 1: division by zero");
    // An assignment that cannot be evaluated here harms only a region that uses it.
    EXPECT_EQ(read("end = .;\nMEMORY { RAM : ORIGIN = 0, LENGTH = 4 }").size(), 1u);
}

// Each error keeps the file and line it was found at, the included file's own where it lies in
// one, and no line where the script as a whole is at fault.
TEST(LdScriptMemory, ErrorsKeepTheirFileAndLine) {
    const ld_script_include_reader reader =
        [](const std::string& file, const std::string&) -> std::optional<ld_script_text> {
        return ld_script_text{"dir/" + file, "\n\nMEMORY { R : ORIGIN = NOWHERE, LENGTH = 1 }\n"};
    };
    const auto error_of = [&](const std::string& text) {
        const c_result<std::vector<ld_script_region>> result =
            read_ld_script_memory_text(text, "link.ld", reader);
        EXPECT_FALSE(result) << text;
        return result ? input_error{} : result.error();
    };
    const input_error included = error_of("\nINCLUDE bad.ld\n");
    EXPECT_EQ(included.file, "dir/bad.ld");
    EXPECT_EQ(included.line, 3u);
    const input_error comment = error_of("MEMORY {\n\n /* open");
    EXPECT_EQ(comment.file, "link.ld");
    EXPECT_EQ(comment.line, 3u);
    EXPECT_EQ(comment.what, "the comment is not closed");
    const input_error empty = error_of("SECTIONS { }\n");
    EXPECT_EQ(empty.file, "link.ld");
    EXPECT_EQ(empty.line, 0u);
    EXPECT_EQ(ld_script_message(empty), "link.ld: the script has no MEMORY command with a region");
}

TEST(LdScriptMemory, IncludedFilesComeFromTheReaderGiven) {
    // Files by name; each include is answered with a name that says who included it.
    const std::map<std::string, std::string> files{
        {"regions.ld", "FLASH (rx) : ORIGIN = 0x0, LENGTH = 256K\n"},
        {"sizes.ld", "INCLUDE base.ld\nRAM_SIZE = BASE * 2;\n"},
        {"base.ld", "BASE = 16K;\n"},
        {"loop.ld", "INCLUDE loop.ld\n"},
        {"bad.ld", "\nMEMORY { R : ORIGIN = NOWHERE, LENGTH = 1 }\n"}};
    std::vector<std::string> asked;
    const ld_script_include_reader reader =
        [&](const std::string& file,
            const std::string& including) -> std::optional<ld_script_text> {
        asked.push_back(including + ">" + file);
        const auto found = files.find(file);
        if (found == files.end()) {
            return std::nullopt;
        }
        return ld_script_text{"dir/" + file, found->second};
    };
    const c_result<std::vector<ld_script_region>> regions = read_ld_script_memory_text(
        "INCLUDE sizes.ld\n"
        "MEMORY {\n"
        "  INCLUDE \"regions.ld\"\n"
        "  RAM (rw) : ORIGIN = 0x20000000, LENGTH = RAM_SIZE\n"
        "}\n",
        "link.ld", reader);
    ASSERT_TRUE(regions) << ld_script_message(regions.error());
    ASSERT_EQ(regions->size(), 2u);
    EXPECT_EQ(regions->at(0).name, "FLASH");
    EXPECT_EQ(regions->at(1).length, 32u * 1024u);
    EXPECT_EQ(asked, (std::vector<std::string>{"link.ld>sizes.ld", "dir/sizes.ld>base.ld",
                                               "link.ld>regions.ld"}));
    // A missing file, a file that includes itself, and an error inside an included file end
    // with a message naming the file and line.
    const auto failure = [](const c_result<std::vector<ld_script_region>>& result) {
        EXPECT_FALSE(result);
        return result ? std::string() : ld_script_message(result.error());
    };
    std::string error = failure(read_ld_script_memory_text("INCLUDE loop.ld\n", "link.ld", reader));
    EXPECT_NE(error.find("INCLUDE nested more than"), std::string::npos) << error;
    error = failure(read_ld_script_memory_text("\nINCLUDE none.ld\n", "link.ld", reader));
    EXPECT_EQ(error, "link.ld line 2: cannot read the included file 'none.ld'");
    error = failure(read_ld_script_memory_text("INCLUDE bad.ld\n", "link.ld", reader));
    EXPECT_EQ(error.rfind("dir/bad.ld line 2: ", 0), 0u) << error;
    // Without a reader, no INCLUDE can be read.
    error = failure(read_ld_script_memory_text("INCLUDE regions.ld\n", "link.ld", {}));
    EXPECT_NE(error.find("cannot read the included file 'regions.ld'"), std::string::npos) << error;
}

TEST(ScriptAreas, RegionsBecomeAreasOfTheKindTheirAttributesGive) {
    c_memory_def def;
    ASSERT_TRUE(areas_from_regions({{"FLASH", 0x08000000, 0x10000, "rx"},
                                    {"RAM", 0x20000000, 0x5000, "rwx"},
                                    {"HIGH", 0x100000000, 0x10, "rw"},
                                    {"ALL", 0xFFFFF000, 0x10000, "r"}},
                                   def));
    EXPECT_EQ(def.program_names, (std::vector<std::string>{"FLASH", "ALL"}));
    EXPECT_EQ(def.memory_names, (std::vector<std::string>{"RAM"}));
    EXPECT_EQ(def.program[1].size, 0x1000u);  // ends at 2^32
    EXPECT_EQ(def.kind_sources,
              (std::vector<std::string>{"attributes", "attributes", "attributes"}));
    EXPECT_FALSE(areas_from_regions({{"HIGH", 0x100000000, 0x10, "rw"}}, def));
}

TEST(ScriptAreas, RegionsWithoutLettersTakeTheirKindFromTheirNames) {
    // A memory.x as Rust embedded projects write it: no attribute letters at all.
    c_memory_def def;
    ASSERT_TRUE(areas_from_regions({{"FLASH", 0x08000000, 0x10000, ""},
                                    {"RAM", 0x20000000, 0x5000, ""},
                                    {"CCMRAM", 0x10000000, 0x2000, ""},
                                    {"eeprom", 0x810000, 0x400, ""},
                                    {"fuse", 0x820000, 3, ""}},
                                   def));
    EXPECT_EQ(def.program_names, (std::vector<std::string>{"FLASH"}));
    EXPECT_EQ(def.memory_names, (std::vector<std::string>{"RAM", "CCMRAM"}));
    EXPECT_EQ(def.eeprom_names, (std::vector<std::string>{"eeprom"}));
    EXPECT_EQ(def.other_names, (std::vector<std::string>{"fuse"}));
    // How each was decided, in the order of the areas: program, RAM, EEPROM, other.
    EXPECT_EQ(def.kind_sources,
              (std::vector<std::string>{"name", "name", "name", "known region name",
                                        "known region name"}));
    // Letters still decide where they say something: a region named RAM but read-only.
    ASSERT_TRUE(areas_from_regions({{"RAM", 0x20000000, 0x5000, "rx"}}, def));
    EXPECT_EQ(def.program_names, (std::vector<std::string>{"RAM"}));
    EXPECT_TRUE(def.memory_names.empty());
    EXPECT_EQ(def.kind_sources, (std::vector<std::string>{"attributes"}));
}

}  // namespace
}  // namespace tarvel
