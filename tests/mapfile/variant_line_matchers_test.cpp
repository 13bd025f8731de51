// Examples of the line matchers of the section-map variants: their pattern texts, the lines
// they take and the fields they give. line_matcher_differential_test.cpp compares every matcher
// with its regular expression.
#include <gtest/gtest.h>

#include <string>

#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/section_line_matcher.h"
#include "support/line_match.h"

namespace tarvel {
namespace {

using test::by_matcher;

TEST(AnyNameMatcher, PatternTextIsTheFivePieces) {
    const c_map_file_elxr_mem32_unlimited reader(text_source{});
    EXPECT_EQ(reader.line_regex().pattern_text(),
              "[[:space:]]*([[:digit:]]+)[[:space:]]+"
              "\\[{0,1}"
              "\\.{0,1}([a-zA-Z0-9_\\.]+)"
              "\\]{0,1}"
              "[[:space:]]+([[:xdigit:]]+)[[:space:]]+([[:xdigit:]]+)[[:space:]]+(.*)");
}

TEST(AnyNameMatcher, DotsAndBracketsAroundTheName) {
    const c_map_file_elxr_mem32_unlimited reader(text_source{});
    const c_section_line_matcher& m = reader.line_regex();
    EXPECT_EQ(by_matcher(m, "1 [.bss] 10 20 x").name, "bss");
    EXPECT_EQ(by_matcher(m, "1 ..x 10 20 x").name, ".x");  // only the first dot is left out
    EXPECT_EQ(by_matcher(m, "1 . 10 20 x").name, ".");     // a lone dot is the name itself
    EXPECT_EQ(by_matcher(m, "1 [.] 10 20 x").name, ".");
    EXPECT_EQ(by_matcher(m, "1 .text 1200 FEDE0000 ").address, "FEDE0000");
    for (const char* line : {"1 .a$b 10 20 x", "1 .a-b 10 20 x", "1 [] 10 20 x", "1 .text 10 20",
                             "1 [.bss]] 10 20 x", "1 [[.bss] 10 20 x"}) {
        EXPECT_FALSE(by_matcher(m, line).matched) << line;
    }
}

TEST(VariantMatchers, PatternTextsKeepTheOrderOfTheNameLists) {
    EXPECT_NE(c_map_file_elxr_ibex(text_source{})
                  .line_regex()
                  .pattern_text()
                  .find("|.data|.data, initialized|.bss|"),
              std::string::npos);
    EXPECT_NE(c_map_file_elxr_wren(text_source{})
                  .line_regex()
                  .pattern_text()
                  .find("|.data_begin|.data|.bss|"),
              std::string::npos);
}

TEST(VariantMatchers, EachNameListHasItsOwnMatcher) {
    const c_map_file_elxr puma(text_source{});
    const c_map_file_elxr_ibex ibex(text_source{});
    const c_map_file_elxr_wren wren(text_source{});
    const c_map_file_elxr_mem32_unlimited unlimited(text_source{});
    EXPECT_NE(&puma.line_regex(), &ibex.line_regex());
    EXPECT_NE(&ibex.line_regex(), &wren.line_regex());
    EXPECT_NE(&wren.line_regex(), &unlimited.line_regex());
    EXPECT_EQ(&ibex.line_regex(), &c_map_file_elxr_ibex(text_source{}).line_regex());  // built once
}

// The stack-symbol matcher of the Wren reader.
struct symbol_result {
    bool matched = false;
    std::string address;
    bool operator==(const symbol_result&) const = default;
};

std::ostream& operator<<(std::ostream& out, const symbol_result& r) {
    return out << r.matched << " [" << r.address << "]";
}

symbol_result symbol_by_matcher(const std::string& line, const char* symbol) {
    std::string_view address;
    if (!c_map_file_elxr_wren::match_symbol_line(line, symbol, address)) {
        return {};
    }
    return {true, std::string(address)};
}

TEST(WrenStackSymbol, PatternText) {
    EXPECT_EQ(c_map_file_elxr_wren::symbol_pattern_text("__stack_begin"),
              "([0-9a-f]+)[[:space:]]+[A-Z]+[[:space:]]+__stack_begin");
}

TEST(WrenStackSymbol, TakesOnlyWholeLinesOfTheRightForm) {
    EXPECT_EQ(symbol_by_matcher("03ffc000 B __stack_begin", "__stack_begin"),
              (symbol_result{true, "03ffc000"}));
    EXPECT_EQ(symbol_by_matcher("1\t\tAB\t__stack_end", "__stack_end"), (symbol_result{true, "1"}));
    for (const char* line :
         {"03FFC000 B __stack_begin",   // upper-case hexadecimal digits
          "03ffc000 b __stack_begin",   // lower-case type letter
          " 03ffc000 B __stack_begin",  // leading blank
          "03ffc000 B __stack_begin x", "03ffc000 B __stack_begin2", "03ffc000 B __stack_begin ",
          "03ffc000 __stack_begin", "03ffc000B __stack_begin", "B __stack_begin", ""}) {
        EXPECT_FALSE(symbol_by_matcher(line, "__stack_begin").matched) << line;
    }
}

}  // namespace
}  // namespace tarvel
