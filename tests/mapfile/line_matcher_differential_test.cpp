// Differential tests of every reader's hand-written line matcher against std::regex with the
// reader's exact pattern text: the Puma, Ibex and Wren section-name lists, the any-name form of
// Puma_mem32_unlimited and the Wren stack-symbol lines. Lines come from two sources: built from
// pieces that sit on the edges of the patterns (every kind of white space including \t \v \f \r
// and \n, runs that cross the matchers' sixteen-character steps, line ends and other characters
// in the wildcard's place, near-miss, cut, unlisted and extended names, brackets, several dots,
// nine-digit and non-hexadecimal numbers, CR and LF inside the rest; for the stack symbols
// upper-case digits, lower-case type letters, leading characters and longer or cut symbols),
// and realistic map lines with random edits. Lines given to std::regex stay short, as its
// recursion grows with the line; very long lines are tested on the hand-written matchers alone.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"
#include "support/line_match.h"

namespace tarvel {
namespace {

using test::by_matcher;
using test::fields_found;

fields_found by_regex(const std::regex& pattern, const std::string& line) {
    std::smatch groups;
    if (!std::regex_match(line, groups, pattern)) {
        return {};
    }
    return {true, groups[2].str(), groups[3].str(), groups[4].str()};
}

// Printable form of a line for failure messages.
std::string shown(const std::string& line) {
    std::string out;
    for (const char c : line) {
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\v') {
            out += "\\v";
        } else if (c == '\f') {
            out += "\\f";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

class c_line_maker {
  public:
    c_line_maker(unsigned seed, std::vector<std::string> names)
        : random_(seed), names_(std::move(names)) {}

    std::size_t below(std::size_t n) { return random_() % n; }
    bool chance(unsigned percent) { return below(100) < percent; }

    template <typename T>
    const T& one_of(const std::vector<T>& choices) {
        return choices[below(choices.size())];
    }

    // White space of every kind; lengths around the matchers' sixteen-character steps.
    std::string spaces(std::size_t at_least) {
        static const std::vector<std::size_t> lengths{0, 1, 2, 3, 7, 8, 9, 15, 16, 17, 31, 33};
        std::size_t length = std::max(at_least, one_of(lengths));
        std::string s;
        for (std::size_t i = 0; i < length; ++i) {
            // Mostly white space; sometimes the control characters just outside its class.
            s += chance(85) ? ' ' : " \t\n\v\f\r\t\v\f\r\b\x0e!"[below(13)];
        }
        return s;
    }

    std::string run(std::string_view alphabet, std::size_t longest) {
        std::string s(below(longest + 1), ' ');
        for (auto& c : s) {
            c = alphabet[below(alphabet.size())];
        }
        return s;
    }

    // A decimal section number, sometimes long or not decimal.
    std::string number() {
        if (chance(10)) {
            // Not decimal, or next to the digits' range (/ and : surround 0 to 9).
            return one_of(std::vector<std::string>{"", "x", "1a", "-1", "+2", "٣", "0x1",
                                                   "1:", "/1", "12:3", "9/"});
        }
        return run("0123456789", chance(20) ? 20 : 3) + "7";
    }

    // A hexadecimal field: usually eight digits, sometimes nine or more, empty or broken.
    std::string hex() {
        switch (below(10)) {
            case 0:
                return run("0123456789abcdefABCDEF", 17) + "1";  // nine digits and more
            case 1:
                return one_of(std::vector<std::string>{"", "g", "0x10", "12G4", "-1", "1.5",
                                                       "1:", "@1", "1`", "F/"});
            case 2:
                return run("0123456789abcdefABCDEFg", 10);  // a non-digit anywhere, or empty
            default:
                return run("0123456789abcdefABCDEF", 7) + "0";
        }
    }

    // A name token for the name-list patterns: a listed name after one arbitrary character, or
    // a near miss.
    std::string list_name() {
        std::string lead = one_of(
            std::vector<std::string>{".", ".", "_", " ", "x", "\r", "..", "", ",", "\n", "\t"});
        std::string name = one_of(names_);
        switch (below(9)) {
            case 0:  // a name followed by more name characters, digits or another name's end
                name += one_of(std::vector<std::string>{"1", "0", "x", "_", ".", "Ram", "2x", ",",
                                                        "_begin", ", initialized"});
                break;
            case 1:  // one character dropped, changed or in another case
                if (!name.empty()) {
                    const std::size_t at = below(name.size());
                    if (chance(50)) {
                        name.erase(at, 1);
                    } else {
                        name[at] = static_cast<char>(name[at] ^ 0x20);
                    }
                }
                break;
            case 2:
                lead.clear();  // the name's first character stands in the wildcard's place
                break;
            case 3:  // a name cut short, possibly to nothing, or one that no list holds
                name = chance(50) ? name.substr(0, below(name.size() + 1))
                                  : one_of(std::vector<std::string>{"debug", "osstacktata", "sda",
                                                                    "tex", "", "TEXT"});
                break;
            default:
                break;
        }
        return lead + name;
    }

    // A name token for the any-name pattern: brackets, dots and characters outside the class.
    std::string any_name() {
        std::string token = one_of(std::vector<std::string>{"", "", "[", "[[", "]", "\r", "\n"});
        token += one_of(std::vector<std::string>{"", "", ".", "..", "._", "_", "..."});
        token += chance(85) ? run("abcxyzABZ0189_.", 7) : run("abz09_.$-]:[, ", 7);
        token += one_of(std::vector<std::string>{"", "", "]", "]]", ".", "["});
        return token;
    }

    std::string rest() {
        return one_of(std::vector<std::string>{"", "x", "PROGBITS", "rest of line", "\r", "a\rb",
                                               " \t\v", "\v", "]", "(.*)", "x\r", "\n", "a\nb",
                                               "  \t"});
    }

    // A line built from the pieces of a section line, each piece sometimes broken.
    std::string section_line(bool any_name) {
        std::string line = chance(80) ? spaces(0) : "";
        line += number();
        line += spaces(chance(90) ? 1 : 0);
        line += any_name ? this->any_name() : list_name();
        line += spaces(chance(90) ? 1 : 0);
        line += hex();
        line += spaces(chance(90) ? 1 : 0);
        line += hex();
        line += spaces(chance(90) ? 1 : 0);
        line += rest();
        return line;
    }

    // A realistic line of a section map with a few random edits.
    std::string edited_map_line(bool any_name) {
        static const std::vector<std::string> lines{
            "  7    .text                  0001a2c0  00fe0000  PROGBITS",
            "       flags: AX, align 4",
            "  00000600  000002b7  FUNC   Can_MainFunction_Read",
            "  Can_Init                                can.o                 ecum.o app.o",
            "00fe1234 T __stack_begin",
            "  12   [.bss]                 00000100  ffff8000  NOBITS",
            "  3  .data, initialized  0010  0200  x",
            "  1 .DFALib_TextRam 4 5 x",
            "1\t.text\t10\t20\t"};
        std::string line = one_of(lines);
        if (!any_name && chance(60)) {
            // Put a listed name in.
            const std::size_t dot = line.find('.');
            if (dot != std::string::npos && dot < 12) {
                const std::size_t end = line.find(' ', dot);
                line.replace(dot + 1, end == std::string::npos ? 0 : end - dot - 1, one_of(names_));
            }
        }
        static const std::string edits = " \t\n\v\f\r.0a9F_[]x,:/@`G\b\x0e";
        for (std::size_t n = below(4); n > 0 && !line.empty(); --n) {
            const std::size_t at = below(line.size());
            switch (below(3)) {
                case 0:
                    line.erase(at, 1);
                    break;
                case 1:
                    line.insert(at, 1, edits[below(edits.size())]);
                    break;
                default:
                    line[at] = edits[below(edits.size())];
                    break;
            }
        }
        return line;
    }

  private:
    std::mt19937 random_;
    std::vector<std::string> names_;
};

// Both sources of lines, against the reader's own pattern text.
void expect_agreement(const c_section_line_matcher& matcher, const std::vector<std::string>& names,
                      bool any_name, unsigned seed) {
    const std::regex pattern(matcher.pattern_text(), std::regex::ECMAScript);
    c_line_maker maker(seed, names);
    int matched = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string line =
            i % 3 == 2 ? maker.edited_map_line(any_name) : maker.section_line(any_name);
        ASSERT_LT(line.size(), 2000u);
        const fields_found expected = by_regex(pattern, line);
        matched += expected.matched ? 1 : 0;
        ASSERT_EQ(by_matcher(matcher, line), expected) << "line [" << shown(line) << "]";
    }
    EXPECT_GT(matched, 1000);  // both outcomes are reached
    EXPECT_LT(matched, 19000);
}

TEST(LineMatcherDifferential, PumaNames) {
    const c_map_file_elxr reader(text_source{});
    expect_agreement(reader.line_regex(), reader.section_names(), false, 11);
}

TEST(LineMatcherDifferential, IbexNames) {
    const c_map_file_elxr_ibex reader(text_source{});
    expect_agreement(reader.line_regex(), reader.section_names(), false, 12);
}

TEST(LineMatcherDifferential, WrenNames) {
    const c_map_file_elxr_wren reader(text_source{});
    expect_agreement(reader.line_regex(), reader.section_names(), false, 13);
}

TEST(LineMatcherDifferential, Mem32UnlimitedAnyName) {
    const c_map_file_elxr_mem32_unlimited reader(text_source{});
    // Names for the edited realistic lines; the any-name pattern does not use a list.
    expect_agreement(reader.line_regex(), {"text", "bss", "my.section", "x"}, true, 14);
}

TEST(LineMatcherDifferential, NamesSharingPrefixesAndTheWildcardTakingABlank) {
    // Earlier names win over later ones only when the rest of the line still matches.
    const c_map_file_elxr ibex_base(text_source{});
    const c_map_file_elxr_ibex ibex(text_source{});
    const c_map_file_elxr_wren wren(text_source{});
    const std::regex ibex_pattern(ibex.line_regex().pattern_text(), std::regex::ECMAScript);
    const std::regex wren_pattern(wren.line_regex().pattern_text(), std::regex::ECMAScript);
    for (const char* line :
         {"1 .data, initialized 10 20 x", "1 .data, 10 20 x", "1 .data,initialized 10 20 x",
          "1  data, initialized 10 20 x", "1 .data_begin 10 20 x", "1 .data_begin_x 10 20 x",
          "1   data 10 20 x", "1\v\vdata\v10\v20\vx", "1 .OptByBL 1 2 3", "1 .OptBy 1 2 3",
          "1 .MY_STACK 1 2 3", "1 .my_stack 1 2 3"}) {
        EXPECT_EQ(by_matcher(ibex.line_regex(), line), by_regex(ibex_pattern, line)) << line;
        EXPECT_EQ(by_matcher(wren.line_regex(), line), by_regex(wren_pattern, line)) << line;
    }
}

fields_found stack_by_matcher(const std::string& line, std::string_view symbol) {
    std::string_view digits;
    if (!c_map_file_elxr_wren::match_symbol_line(line, symbol, digits)) {
        return {};
    }
    return {true, "", "", std::string(digits)};
}

fields_found stack_by_regex(const std::regex& pattern, const std::string& line) {
    std::smatch groups;
    if (!std::regex_match(line, groups, pattern)) {
        return {};
    }
    return {true, "", "", groups[1].str()};
}

TEST(LineMatcherDifferential, WrenStackSymbols) {
    for (const std::string_view symbol : {"__stack_begin", "__stack_end"}) {
        const std::regex pattern(c_map_file_elxr_wren::symbol_pattern_text(symbol),
                                 std::regex::ECMAScript);
        c_line_maker maker(21, {});
        int matched = 0;
        const std::string name(symbol);
        for (int i = 0; i < 20000; ++i) {
            // Nothing may stand before the address; then upper-case and non-hexadecimal digits.
            std::string line = maker.chance(10) ? maker.spaces(1) : "";
            if (maker.chance(5)) {
                line += maker.one_of(std::vector<std::string>{" ", "\t", "\r", "x", "A"});
            }
            line += maker.chance(85) ? maker.run("0123456789abcdef", 9) + "0"
                                     : maker.run("0123456789abcdefABCDEFxg", 10);
            if (maker.chance(5)) {
                line += maker.one_of(std::vector<std::string>{"A", "F", "g", "\r"});
            }
            line += maker.spaces(maker.chance(90) ? 1 : 0);
            // The type: upper-case letters only (@ and [ lie just outside A to Z).
            line += maker.chance(85) ? maker.run("ABTDRWZ", 2) + "T" : maker.run("ABTtdb1_@[", 3);
            if (maker.chance(5)) {
                line += maker.one_of(std::vector<std::string>{"a", "b", "1", "_"});
            }
            line += maker.spaces(maker.chance(90) ? 1 : 0);
            line += maker.one_of(std::vector<std::string>{
                name, name, name, "__stack_begin", "__stack_end", name + "_core1", name + "d",
                name + name, name + " ", name + "\r", "_" + name, name.substr(1), "x" + name,
                name.substr(0, name.size() - 3), "__stack_", "", "__STACK_END", "__STACK_BEGIN"});
            if (maker.chance(5)) {
                line += maker.one_of(
                    std::vector<std::string>{"2", " ", "\r", "\n", "_x", " text", "\rx", "\t"});
            }
            const fields_found expected = stack_by_regex(pattern, line);
            matched += expected.matched ? 1 : 0;
            ASSERT_EQ(stack_by_matcher(line, symbol), expected) << "line [" << shown(line) << "]";
        }
        EXPECT_GT(matched, 1000) << symbol;  // both outcomes are reached
        EXPECT_LT(matched, 19000) << symbol;
    }
}

// Lines far longer than the regular-expression engine could take: the answer is known from
// the structure of the line.
TEST(LineMatcherDifferential, VeryLongLinesOnTheHandWrittenMatchers) {
    const c_map_file_elxr puma(text_source{});
    const c_map_file_elxr_mem32_unlimited any(text_source{});
    const std::string blanks(1 << 20, ' ');
    const std::string tabs(1 << 20, '\t');
    const std::string digits(1 << 20, '7');
    const std::string hex(1 << 20, 'f');

    for (const c_section_line_matcher* matcher : {&puma.line_regex(), &any.line_regex()}) {
        EXPECT_TRUE(by_matcher(*matcher, blanks + "1 .text 10 20 x").matched);
        EXPECT_TRUE(by_matcher(*matcher, "1" + tabs + ".text 10 20 x").matched);
        EXPECT_TRUE(by_matcher(*matcher, "1 .text 10 20 " + blanks + "tail").matched);
        EXPECT_FALSE(by_matcher(*matcher, "1 .text 10 20 " + blanks + "tail\r").matched);
        EXPECT_TRUE(by_matcher(*matcher, "1 .text 10 20" + blanks + "\r").matched);  // white space
        EXPECT_FALSE(by_matcher(*matcher, "1" + blanks + "x").matched);
        EXPECT_FALSE(by_matcher(*matcher, blanks).matched);
        EXPECT_FALSE(by_matcher(*matcher, digits).matched);
        EXPECT_FALSE(by_matcher(*matcher, digits + blanks).matched);

        const fields_found long_number = by_matcher(*matcher, digits + " .text 10 20 x");
        EXPECT_TRUE(long_number.matched);
        const fields_found long_size = by_matcher(*matcher, "1 .text " + hex + " 20 x");
        ASSERT_TRUE(long_size.matched);
        EXPECT_EQ(long_size.size, hex);
        EXPECT_EQ(long_size.address, "20");
        EXPECT_FALSE(by_matcher(*matcher, "1 .text " + hex + "g 20 x").matched);
    }
    // A name of a million characters: the any-name form takes it whole, less its first dot.
    const std::string name(1 << 20, 'n');
    EXPECT_EQ(by_matcher(any.line_regex(), "1 [." + name + "] 10 20 x").name, name);
    EXPECT_FALSE(by_matcher(puma.line_regex(), "1 ." + name + " 10 20 x").matched);

    std::string_view address;
    EXPECT_TRUE(c_map_file_elxr_wren::match_symbol_line(
        std::string(1 << 20, 'a') + " T __stack_end", "__stack_end", address));
    EXPECT_EQ(address.size(), std::size_t{1} << 20);
    const std::string wide = "10" + blanks + "T" + tabs + "__stack_end";
    EXPECT_TRUE(c_map_file_elxr_wren::match_symbol_line(wide, "__stack_end", address));
    EXPECT_EQ(address, "10");  // points into `wide`
    EXPECT_FALSE(c_map_file_elxr_wren::match_symbol_line(blanks + "1 T __stack_end", "__stack_end",
                                                         address));
    EXPECT_FALSE(
        c_map_file_elxr_wren::match_symbol_line(std::string(1 << 20, 'a'), "__stack_end", address));
}

}  // namespace
}  // namespace tarvel
