// Differential tests of the hand-written line matchers of the section-map variants: each must
// accept exactly the lines that its ECMAScript pattern accepts (whole-line match) and yield the
// same groups. Lines are generated from pieces chosen to sit on the edges of each pattern.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <regex>
#include <string>

#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "mapfile/section_line_matcher.h"

namespace tarvel {
namespace {

struct section_result {
    bool matched = false;
    std::string name, size, address;
    bool operator==(const section_result&) const = default;
};

std::ostream& operator<<(std::ostream& out, const section_result& r) {
    return out << r.matched << " [" << r.name << "] [" << r.size << "] [" << r.address << "]";
}

section_result by_matcher(const c_section_line_matcher& matcher, const std::string& line) {
    section_line_fields fields;
    if (!matcher.match(line, fields)) {
        return {};
    }
    return {true, std::string(fields.name), std::string(fields.size), std::string(fields.address)};
}

section_result by_regex(const std::regex& pattern, const std::string& line) {
    std::smatch groups;
    if (!std::regex_match(line, groups, pattern)) {
        return {};
    }
    return {true, groups[2].str(), groups[3].str(), groups[4].str()};
}

// Random pieces of lines.
class c_line_pieces {
  public:
    explicit c_line_pieces(unsigned seed) : random_(seed) {}

    std::string pick(std::initializer_list<const char*> choices) {
        auto it = choices.begin();
        std::advance(it, random_() % choices.size());
        return *it;
    }

    // At least `at_least` blanks, then a few white-space characters of every kind.
    std::string spaces(int at_least) {
        std::string s(static_cast<std::size_t>(at_least), ' ');
        const unsigned more = random_() % 3;
        for (unsigned i = 0; i < more; ++i) {
            s += pick({" ", "\t", "\v", "\f", "\r", "\n", " "});
        }
        return s;
    }

    // Up to `longest` characters drawn from `alphabet`.
    std::string run(const std::string& alphabet, unsigned longest) {
        std::string s;
        const unsigned length = random_() % (longest + 1);
        for (unsigned i = 0; i < length; ++i) {
            s += alphabet[random_() % alphabet.size()];
        }
        return s;
    }

    bool coin() { return random_() % 2 == 0; }
    // Mostly `usual`, sometimes `unusual`.
    std::string often(std::string usual, std::string unusual) {
        return random_() % 5 != 0 ? usual : unusual;
    }
    std::size_t below(std::size_t n) { return random_() % n; }

  private:
    std::mt19937 random_;
};

const std::string hex_alphabet = "0123456789abcdefABCDEFg";

TEST(AnyNameMatcher, PatternTextIsTheFivePieces) {
    const c_map_file_elxr_mem32_unlimited reader("");
    EXPECT_EQ(reader.line_regex().pattern_text(),
              "[[:space:]]*([[:digit:]]+)[[:space:]]+"
              "\\[{0,1}"
              "\\.{0,1}([a-zA-Z0-9_\\.]+)"
              "\\]{0,1}"
              "[[:space:]]+([[:xdigit:]]+)[[:space:]]+([[:xdigit:]]+)[[:space:]]+(.*)");
}

TEST(AnyNameMatcher, AgreesWithTheRegularExpression) {
    const c_map_file_elxr_mem32_unlimited reader("");
    const c_section_line_matcher& matcher = reader.line_regex();
    const std::regex pattern(matcher.pattern_text(), std::regex::ECMAScript);
    c_line_pieces pieces(4711);
    int matched = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string line = pieces.spaces(0);
        line += pieces.often(pieces.pick({"1", "12", "007"}), pieces.pick({"", "x", "1a"}));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.often(pieces.pick({"", "", "["}), pieces.pick({"[[", "]", "\r"}));
        line += pieces.pick({"", "", ".", "..", "._", "_"});
        line += pieces.often(pieces.run("abzAZ09_.", 6), pieces.run("abzAZ09_.$-] [", 6));
        line += pieces.often(pieces.pick({"", "", "]"}), pieces.pick({"]]", ".", "["}));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.often(pieces.run("0123456789abcdefABCDEF", 9) + "0",
                             pieces.run(hex_alphabet, 10));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.often(pieces.run("0123456789abcdefABCDEF", 9) + "0",
                             pieces.run(hex_alphabet, 10));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.pick({"", "x", "rest of line", "\r", "a\rb", "a\nb", "  \t", "PROGBITS"});
        const section_result expected = by_regex(pattern, line);
        matched += expected.matched;
        ASSERT_EQ(by_matcher(matcher, line), expected) << "line: [" << line << "]";
    }
    EXPECT_GT(matched, 1000);  // the generator must reach both outcomes
}

TEST(AnyNameMatcher, DotsAndBracketsAroundTheName) {
    const c_map_file_elxr_mem32_unlimited reader("");
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

// The name-list matcher built from each variant's names, against the pattern built from them.
void expect_name_list_agrees(const c_section_line_matcher& matcher,
                             std::initializer_list<const char*> names, unsigned seed) {
    const std::regex pattern(matcher.pattern_text(), std::regex::ECMAScript);
    c_line_pieces pieces(seed);
    int matched = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string line = pieces.spaces(0);
        line += pieces.often(pieces.pick({"1", "12"}), pieces.pick({"", "x"}));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.often(pieces.pick({".", ".", "_", " "}), pieces.pick({"", "..", "\r", ","}));
        auto name = names.begin();
        std::advance(name, pieces.below(names.size()));
        line += *name;
        line += pieces.often("", pieces.pick({"_begin", ",", ", initialized", "1", "x"}));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.often(pieces.run("0123456789abcdefABCDEF", 9) + "0",
                             pieces.run(hex_alphabet, 10));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.often(pieces.run("0123456789abcdefABCDEF", 9) + "0",
                             pieces.run(hex_alphabet, 10));
        line += pieces.often(pieces.spaces(1), pieces.spaces(0));
        line += pieces.pick({"", "x", "rest of line", "\r", "a\rb", "  \t"});
        const section_result expected = by_regex(pattern, line);
        matched += expected.matched;
        ASSERT_EQ(by_matcher(matcher, line), expected) << "line: [" << line << "]";
    }
    EXPECT_GT(matched, 1000);
}

TEST(IbexNameList, AgreesWithTheRegularExpression) {
    const c_map_file_elxr_ibex reader("");
    EXPECT_NE(reader.line_regex().pattern_text().find("|.data|.data, initialized|.bss|"),
              std::string::npos);
    expect_name_list_agrees(
        reader.line_regex(),
        {"data", "data, initialized", "bsct", "ubsct", "MY_STACK", "my_stack", "text", "init",
         "initialized", "sdata", "zbss", "Reserved", "const", "OptByBL", "OptByTMU", "OptBytes"},
        99);
}

TEST(WrenNameList, AgreesWithTheRegularExpression) {
    const c_map_file_elxr_wren reader("");
    EXPECT_NE(reader.line_regex().pattern_text().find("|.data_begin|.data|.bss|"),
              std::string::npos);
    expect_name_list_agrees(reader.line_regex(),
                            {"data", "data_begin", "data, initialized", "bss", "NoClear", "text",
                             "ISR", "STARTUPFUNC", "init", "CfgId", "IpdEepRam", "vector"},
                            1234);
}

TEST(VariantMatchers, EachNameListHasItsOwnMatcher) {
    const c_map_file_elxr puma("");
    const c_map_file_elxr_ibex ibex("");
    const c_map_file_elxr_wren wren("");
    const c_map_file_elxr_mem32_unlimited unlimited("");
    EXPECT_NE(&puma.line_regex(), &ibex.line_regex());
    EXPECT_NE(&ibex.line_regex(), &wren.line_regex());
    EXPECT_NE(&wren.line_regex(), &unlimited.line_regex());
    EXPECT_EQ(&ibex.line_regex(), &c_map_file_elxr_ibex("").line_regex());  // built once
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

symbol_result symbol_by_regex(const std::regex& pattern, const std::string& line) {
    std::smatch groups;
    if (!std::regex_match(line, groups, pattern)) {
        return {};
    }
    return {true, groups[1].str()};
}

TEST(WrenStackSymbol, PatternText) {
    EXPECT_EQ(c_map_file_elxr_wren::symbol_pattern_text("__stack_begin"),
              "([0-9a-f]+)[[:space:]]+[A-Z]+[[:space:]]+__stack_begin");
}

TEST(WrenStackSymbol, AgreesWithTheRegularExpression) {
    for (const char* symbol : {"__stack_begin", "__stack_end"}) {
        const std::regex pattern(c_map_file_elxr_wren::symbol_pattern_text(symbol),
                                 std::regex::ECMAScript);
        c_line_pieces pieces(symbol[8] == 'b' ? 17u : 18u);
        int matched = 0;
        for (int i = 0; i < 20000; ++i) {
            std::string line = pieces.often("", pieces.pick({" ", "\t", "x", "\r"}));
            line += pieces.often(pieces.run("0123456789abcdef", 8) + "0",
                                 pieces.run("0123456789abcdefABCDEFg", 9));
            line += pieces.often("", pieces.pick({"A", "g", "\r", "F"}));
            line += pieces.often(pieces.spaces(1), pieces.spaces(0));
            line += pieces.often(pieces.run("ABTDZ", 2) + "T", pieces.run("ABTDbt@[", 3));
            line += pieces.often("", pieces.pick({"a", "1", "_", "b"}));
            line += pieces.often(pieces.spaces(1), pieces.spaces(0));
            line += pieces.often(pieces.pick({"__stack_begin", "__stack_end"}),
                                 pieces.pick({"_stack_begin", "__stack_beg", "__stack_", "",
                                              "x__stack_end", "__STACK_END", "__stack_endd"}));
            line +=
                pieces.often("", pieces.pick({"2", " ", "\r", "\n", "_x", " text", "\rx", "\t"}));
            const symbol_result expected = symbol_by_regex(pattern, line);
            matched += expected.matched;
            ASSERT_EQ(symbol_by_matcher(line, symbol), expected) << "line: [" << line << "]";
        }
        EXPECT_GT(matched, 500) << symbol;
    }
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

TEST(WrenStackSymbol, VeryLongLinesNeitherCrashNorMatchWrongly) {
    const std::string padding(8 * 1024 * 1024, ' ');
    EXPECT_TRUE(
        symbol_by_matcher("10" + padding + "T" + padding + "__stack_end", "__stack_end").matched);
    EXPECT_FALSE(symbol_by_matcher(std::string(8 * 1024 * 1024, 'a'), "__stack_end").matched);
}

}  // namespace
}  // namespace tarvel
