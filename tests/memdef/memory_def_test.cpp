#include "memdef/memory_def.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarvel {
namespace {

struct parsed {
    def_line_kind kind;
    mem_area area;
    search_list searches;
};

parsed parse(std::string_view line) {
    c_memory_def def;
    parsed result{};
    result.kind = def.parse_line(result.area, line, result.searches);
    return result;
}

void expect_area(std::string_view line, def_line_kind kind, std::uint32_t start,
                 std::uint32_t size) {
    const parsed result = parse(line);
    EXPECT_EQ(result.kind, kind) << line;
    EXPECT_EQ(result.area.start, start) << line;
    EXPECT_EQ(result.area.size, size) << line;
    EXPECT_EQ(result.area.index, no_area) << line;
}

TEST(DefinitionLine, AreaLinesReadTwoHexadecimalNumbers) {
    expect_area("PROGRAM 0x80000 10000", def_line_kind::program, 0x80000, 0x10000);
    expect_area("MEMORY 100000 0x4000", def_line_kind::memory, 0x100000, 0x4000);
    expect_area("EEPROM\t0XABC\t0Xdef trailing text", def_line_kind::eeprom, 0xABC, 0xDEF);
    expect_area("RESERVED 1 2 3", def_line_kind::reserved, 1, 2);
}

TEST(DefinitionLine, MalformedNumbersAreReadAsFarAsTheyGo) {
    expect_area("PROGRAM", def_line_kind::program, 0, 0);
    expect_area("PROGRAM text", def_line_kind::program, 0, 0);
    expect_area("PROGRAM 1000", def_line_kind::program, 0x1000, 0);
    expect_area("MEMORY 0x100:0x200", def_line_kind::memory, 0x100, 0);
    expect_area("PROGRAM: 100 200", def_line_kind::program, 0, 0);
    expect_area("PROGRAMS 0 10", def_line_kind::program, 0, 0);  // field text starts with S
    expect_area("PROGRAM -1 -10", def_line_kind::program, 0xFFFFFFFF, 0xFFFFFFF0);
    // More than 32 bits reads as the largest value and stops the extraction.
    expect_area("PROGRAM 123456789 100", def_line_kind::program, 0xFFFFFFFF, 0);
    expect_area("PROGRAM 100 123456789", def_line_kind::program, 0x100, 0xFFFFFFFF);
}

TEST(DefinitionLine, KeywordsAreTestedInOrderAnywhereInTheLine) {
    EXPECT_EQ(parse("PROGRAM SEARCH x").kind, def_line_kind::search);
    EXPECT_EQ(parse("MEMORY EEPROM 1 2").kind, def_line_kind::memory);
    EXPECT_EQ(parse("program 0 100").kind, def_line_kind::none);
    EXPECT_EQ(parse("").kind, def_line_kind::none);
    EXPECT_EQ(parse("just text").kind, def_line_kind::none);
    // The fields follow the keyword wherever it stands.
    expect_area("  PROGRAM 0 100", def_line_kind::program, 0, 0x100);
    expect_area("flash: MEMORY 10 20", def_line_kind::memory, 0x10, 0x20);
}

TEST(DefinitionLine, CommentStartsOnlyAtTheFirstSlashWhenASlashFollows) {
    EXPECT_EQ(parse("// PROGRAM 0 100").kind, def_line_kind::none);
    expect_area("PROGRAM 0 100 // MEMORY", def_line_kind::program, 0, 0x100);
    EXPECT_EQ(parse("x / y // PROGRAM 0 100").kind, def_line_kind::program);

    const parsed search = parse("SEARCH a/b // x");
    ASSERT_EQ(search.searches.size(), 1u);
    EXPECT_EQ(search.searches.front().all_terms, (std::vector<std::string>{"a/b", "//", "x"}));
}

TEST(DefinitionLine, SearchTermsAreSplitByTheirFirstCharacter) {
    const parsed result = parse("SEARCH Can |Com\t|Lin  !Test\r");
    EXPECT_EQ(result.kind, def_line_kind::search);
    ASSERT_EQ(result.searches.size(), 1u);
    const search_def& search = result.searches.front();
    EXPECT_EQ(search.all_terms, std::vector<std::string>{"Can"});
    EXPECT_EQ(search.any_terms, (std::vector<std::string>{"Com", "Lin"}));
    EXPECT_EQ(search.none_terms, std::vector<std::string>{"Test"});
    EXPECT_TRUE(search.valid);
    EXPECT_EQ(search.total, 0u);

    const parsed prefixes = parse("SEARCH ! | !| |!x");
    ASSERT_EQ(prefixes.searches.size(), 1u);
    EXPECT_EQ(prefixes.searches.front().none_terms, (std::vector<std::string>{"", "|"}));
    EXPECT_EQ(prefixes.searches.front().any_terms, (std::vector<std::string>{"", "!x"}));
}

TEST(DefinitionLine, SearchWithoutTermsIsDroppedButStillASearchLine) {
    const parsed result = parse("SEARCH   \t ");
    EXPECT_EQ(result.kind, def_line_kind::search);
    EXPECT_TRUE(result.searches.empty());
}

TEST(DefinitionFile, LoadsAreasInFileOrderAndAppendsSearches) {
    test::c_temp_dir dir;
    const auto path = dir.write("target.def",
                                "// target\r\n"
                                "PROGRAM 0 8000\r\n"
                                "MEMORY 100000 1000\r\n"
                                "PROGRAM 8000 2000\r\n"
                                "PROGRAM 8000 2000\r\n"
                                "EEPROM 200000 100\r\n"
                                "RESERVED 7000 1000\r\n"
                                "SEARCH App\r\n"
                                "SEARCH\r\n"
                                "SEARCH |Os !Test");  // no line end after the last line
    c_memory_def def;
    search_list searches;
    ASSERT_TRUE(def.load(path.string(), searches).ok());
    ASSERT_EQ(def.program.size(), 3u);
    EXPECT_EQ(def.program[1].start, 0x8000u);
    EXPECT_EQ(def.program[2].size, 0x2000u);
    EXPECT_EQ(def.memory.size(), 1u);
    EXPECT_EQ(def.eeprom.size(), 1u);
    EXPECT_EQ(def.reserved.size(), 1u);
    ASSERT_EQ(searches.size(), 2u);
    EXPECT_EQ(searches.back().none_terms, std::vector<std::string>{"Test"});
    EXPECT_GE(def.program.capacity(), 1024u);
}

// The message of a definition that does not load, or "" when it loads.
std::string failure_of(const std::string& path, search_list& searches) {
    c_memory_def def;
    const c_result<done> loaded = def.load(path, searches);
    return loaded ? std::string() : located_message(loaded.error());
}

TEST(DefinitionFile, NeedsAtLeastOneAreaLine) {
    test::c_temp_dir dir;
    search_list searches;
    // A file that cannot be opened and one without an area line are two failures.
    for (const std::string& path : {(dir.path() / "missing.def").string(), dir.path().string()}) {
        EXPECT_EQ(failure_of(path, searches), path + ": cannot be opened for reading");
    }
    for (const auto& [name, text] :
         {std::pair{"empty.def", ""}, std::pair{"c.def", "// PROGRAM 0 100\n\n"},
          std::pair{"s.def", "SEARCH x\n"}}) {
        const std::string path = dir.write(name, text).string();
        EXPECT_EQ(failure_of(path, searches),
                  path + ": holds no PROGRAM, MEMORY, EEPROM or RESERVED line");
    }
    EXPECT_EQ(searches.size(), 1u);  // appended although the file is invalid

    EXPECT_EQ(failure_of(dir.write("e.def", "EEPROM 0 10").string(), searches), "");
    EXPECT_EQ(failure_of(dir.write("r.def", "RESERVED 0 10").string(), searches), "");
}

TEST(DefinitionFile, ReadsLongLinesWhole) {
    test::c_temp_dir dir;
    const std::string padding(5000, ' ');
    c_memory_def def;
    search_list searches;
    ASSERT_TRUE(
        def.load(dir.write("long.def", "PROGRAM" + padding + "10 20\nMEMORY 0 4\n").string(),
                 searches)
            .ok());
    ASSERT_EQ(def.program.size(), 1u);
    EXPECT_EQ(def.program[0].start, 0x10u);
    EXPECT_EQ(def.memory.size(), 1u);
}

TEST(FindArea, FirstAreaThatHoldsTheWholeRangeWins) {
    const std::vector<mem_area> areas{{0x100, 0x100, no_area}, {0x000, 0x1000, no_area}};
    std::uint32_t index = no_area;
    EXPECT_TRUE(c_memory_def::find_area(0x100, 0x100, index, areas));  // fills area 0 exactly
    EXPECT_EQ(index, 0u);
    EXPECT_TRUE(c_memory_def::find_area(0x1F0, 0x11, index, areas));  // one byte past area 0
    EXPECT_EQ(index, 1u);
    index = 7;
    EXPECT_FALSE(c_memory_def::find_area(0x10, 0, index, areas));  // size 0 fits nowhere
    EXPECT_FALSE(c_memory_def::find_area(0xFFF, 2, index, areas));
    EXPECT_EQ(index, 7u);  // unchanged when nothing fits
    EXPECT_FALSE(c_memory_def::find_area(0, 1, index, {}));
}

TEST(FindArea, DoesNotWrapAroundTheAddressSpace) {
    const std::vector<mem_area> low{{0, 0x1000, no_area}};
    std::uint32_t index = no_area;
    EXPECT_FALSE(c_memory_def::find_area(0xFFFFFF00, 0x200, index, low));

    const std::vector<mem_area> top{{0xFFFF0000, 0x10000, no_area}};
    EXPECT_TRUE(c_memory_def::find_area(0xFFFFFF00, 0x100, index, top));
    EXPECT_FALSE(c_memory_def::find_area(0xFFFFFF00, 0x101, index, top));

    mem_area range{0x10, 0x10, no_area};
    EXPECT_TRUE(c_memory_def::find_area(range, low));
    EXPECT_EQ(range.index, 0u);
}

TEST(MemoryDef, TotalsWrapAndProgramAreaHasADefaultPastTheEnd) {
    EXPECT_EQ(c_memory_def::total_size({}), 0u);
    EXPECT_EQ(c_memory_def::total_size({{0, 0xFFFFFFFF, 0}, {0, 2, 0}}), 1u);

    c_memory_def def;
    def.program.push_back({0x10, 0x20, no_area});
    EXPECT_EQ(def.program_area(0).size, 0x20u);
    const mem_area& outside = def.program_area(1);
    EXPECT_EQ(outside.start, 0u);
    EXPECT_EQ(outside.size, 0u);
    EXPECT_EQ(outside.index, no_area);
    EXPECT_EQ(&outside, &def.program_area(99));
}

}  // namespace
}  // namespace tarvel
