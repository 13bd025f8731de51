#include "mapfile/section_line_matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "mapfile/map_file_elxr.h"

namespace tarvel {
namespace {

const c_section_line_matcher& puma_matcher() {
    static const c_map_file_elxr reader("");
    return reader.line_regex();
}

struct match_result {
    bool matched = false;
    std::string name, size, address;
    bool operator==(const match_result&) const = default;
};

std::ostream& operator<<(std::ostream& out, const match_result& r) {
    return out << r.matched << " [" << r.name << "] [" << r.size << "] [" << r.address << "]";
}

match_result by_matcher(const c_section_line_matcher& matcher, const std::string& line) {
    section_line_fields fields;
    if (!matcher.match(line, fields)) {
        return {};
    }
    return {true, std::string(fields.name), std::string(fields.size), std::string(fields.address)};
}

match_result by_regex(const std::regex& pattern, const std::string& line) {
    std::smatch groups;
    if (!std::regex_match(line, groups, pattern)) {
        return {};
    }
    return {true, groups[2].str(), groups[3].str(), groups[4].str()};
}

TEST(SectionLineMatcher, PatternTextListsTheNamesAfterAWildcard) {
    const std::string& text = puma_matcher().pattern_text();
    EXPECT_EQ(text.rfind("[[:space:]]*([[:digit:]]+)[[:space:]]+(.appinfo|.bss|", 0), 0u);
    EXPECT_NE(text.find("|.text|.zbss|.zdata)[[:space:]]+([[:xdigit:]]+)"), std::string::npos);
}

TEST(SectionLineMatcher, RecognisesSectionLines) {
    const auto& m = puma_matcher();
    EXPECT_EQ(by_matcher(m, "  7  .text  0001a2c0  00fe0000  rest of line"),
              (match_result{true, ".text", "0001a2c0", "00fe0000"}));
    EXPECT_EQ(by_matcher(m, "1 _text 10 20 "), (match_result{true, "_text", "10", "20"}));
    // The wildcard takes the last blank before a name written without its dot.
    EXPECT_EQ(by_matcher(m, "1   text 10 20 x"), (match_result{true, " text", "10", "20"}));
    // Earlier names are tried first, but a name must be followed by white space.
    EXPECT_EQ(by_matcher(m, "3 .DFALib_TextRam 4 5 x").name, ".DFALib_TextRam");
    EXPECT_EQ(by_matcher(m, "3 .DFALib_Text 4 5 x").name, ".DFALib_Text");
}

TEST(SectionLineMatcher, RejectsNearMisses) {
    const auto& m = puma_matcher();
    for (const char* line : {"  7  .text  0001a2c0  00fe0000",  // no blank after the address
                             "  7  .text1  10  20  x",          // characters after the name
                             "  .text  10  20  x",               // no section number
                             "7.text 10 20 x",                   // no blank after the number
                             "7 .debug_info 10 20 x",            // name not listed
                             "7 .TEXT 10 20 x",                  // case-sensitive
                             "7 .text 10g 20 x",                 // not a hexadecimal number
                             "7 .text 10 20 x\ry",               // the rest holds a CR
                             "7 \rtext 10 20 x",                 // the wildcard is no CR
                             "", "Section table"}) {
        EXPECT_FALSE(by_matcher(m, line).matched) << line;
    }
}

// Differential test: the matcher must accept exactly the lines that the ECMAScript pattern
// accepts and give the same groups.
TEST(SectionLineMatcher, AgreesWithTheRegularExpression) {
    const auto& m = puma_matcher();
    const std::regex pattern(m.pattern_text(), std::regex::ECMAScript);
    std::mt19937 random(1234);
    const auto pick = [&](std::initializer_list<const char*> choices) {
        auto it = choices.begin();
        std::advance(it, random() % choices.size());
        return std::string(*it);
    };
    const auto spaces = [&](int at_least) {
        std::string s(at_least, ' ');
        const int more = random() % 3;
        for (int i = 0; i < more; ++i) {
            s += pick({" ", "\t", "\v", "\f", "\r", " "});
        }
        return s;
    };
    const auto hex = [&] {
        std::string s;
        const int length = random() % 11;
        for (int i = 0; i < length; ++i) {
            s += "0123456789abcdefABCDEFg"[random() % 23];
        }
        return s;
    };
    int matched = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string line = spaces(0) + pick({"1", "12", "", "x", "007"}) + spaces(random() % 2);
        line += pick({".", "_", " ", "", "..", "\r", "x"});
        line += pick({"text", "bss", "data", "sdata", "DFALib_Text", "DFALib_TextRam", "rodata",
                      "textx", "tex", "text1", "osstacktata", "zdata", "debug", "sda", ""});
        line += spaces(random() % 2) + hex() + spaces(random() % 2) + hex() + spaces(random() % 2);
        line += pick({"", "x", "rest of line", "\r", "a\rb", "  \t", "PROGBITS"});
        const match_result expected = by_regex(pattern, line);
        matched += expected.matched;
        ASSERT_EQ(by_matcher(m, line), expected) << "line: [" << line << "]";
    }
    EXPECT_GT(matched, 1000);  // the generator must reach both outcomes
}

TEST(SectionLineMatcher, VeryLongLinesNeitherCrashNorMatchWrongly) {
    const auto& m = puma_matcher();
    const std::string padding(10 * 1024 * 1024, ' ');
    EXPECT_TRUE(by_matcher(m, "1 .text 10 20" + padding + "tail").matched);
    EXPECT_FALSE(by_matcher(m, "1" + padding + "x").matched);
    EXPECT_TRUE(by_matcher(m, "1 .text 10 20" + padding + "\r").matched);  // CR is white space
    EXPECT_FALSE(by_matcher(m, "1 .text 10 20" + padding + "x\r").matched);
}

}  // namespace
}  // namespace tarvel
