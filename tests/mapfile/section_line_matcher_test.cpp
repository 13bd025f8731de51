// Examples of the Puma section-line matcher; line_matcher_differential_test.cpp compares every
// matcher with its regular expression.
#include "mapfile/section_line_matcher.h"

#include <gtest/gtest.h>

#include <string>

#include "mapfile/map_file_elxr.h"
#include "support/line_match.h"

namespace tarvel {
namespace {

const c_section_line_matcher& puma_matcher() {
    static const c_map_file_elxr reader(text_source{});
    return reader.line_regex();
}

using test::by_matcher;
using test::fields_found;

TEST(SectionLineMatcher, PatternTextListsTheNamesAfterAWildcard) {
    const std::string& text = puma_matcher().pattern_text();
    EXPECT_EQ(text.rfind("[[:space:]]*([[:digit:]]+)[[:space:]]+(.appinfo|.bss|", 0), 0u);
    EXPECT_NE(text.find("|.text|.zbss|.zdata)[[:space:]]+([[:xdigit:]]+)"), std::string::npos);
}

TEST(SectionLineMatcher, RecognisesSectionLines) {
    const auto& m = puma_matcher();
    EXPECT_EQ(by_matcher(m, "  7  .text  0001a2c0  00fe0000  rest of line"),
              (fields_found{true, ".text", "0001a2c0", "00fe0000"}));
    EXPECT_EQ(by_matcher(m, "1 _text 10 20 "), (fields_found{true, "_text", "10", "20"}));
    // The wildcard takes the last blank before a name written without its dot.
    EXPECT_EQ(by_matcher(m, "1   text 10 20 x"), (fields_found{true, " text", "10", "20"}));
    // Earlier names are tried first, but a name must be followed by white space.
    EXPECT_EQ(by_matcher(m, "3 .DFALib_TextRam 4 5 x").name, ".DFALib_TextRam");
    EXPECT_EQ(by_matcher(m, "3 .DFALib_Text 4 5 x").name, ".DFALib_Text");
}

TEST(SectionLineMatcher, RejectsNearMisses) {
    const auto& m = puma_matcher();
    for (const char* line : {"  7  .text  0001a2c0  00fe0000",  // no blank after the address
                             "  7  .text1  10  20  x",          // characters after the name
                             "  .text  10  20  x",              // no section number
                             "7.text 10 20 x",                  // no blank after the number
                             "7 .debug_info 10 20 x",           // name not listed
                             "7 .TEXT 10 20 x",                 // case-sensitive
                             "7 .text 10g 20 x",                // not a hexadecimal number
                             "7 .text 10 20 x\ry",              // the rest holds a CR
                             "7 \rtext 10 20 x",                // the wildcard is no CR
                             "", "Section table"}) {
        EXPECT_FALSE(by_matcher(m, line).matched) << line;
    }
}

}  // namespace
}  // namespace tarvel
