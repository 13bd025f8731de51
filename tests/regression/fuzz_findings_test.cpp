// Inputs that the fuzz targets found to crash or to trip a sanitizer, each kept here with the
// behaviour it must have now. The same inputs are seeds in fuzz/corpus/.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "analysis/base_report.h"
#include "text/line_reader.h"

namespace tarvel {
namespace {

// An empty stream: the reader's buffer had no storage yet and was scanned with a null pointer.
TEST(FuzzFindings, LineReaderOnAnEmptyStreamGivesNoLine) {
    std::istringstream empty;
    c_line_reader lines(&empty);
    std::string_view line = "unchanged";
    EXPECT_FALSE(lines.next(line));
    EXPECT_TRUE(line.empty());
    EXPECT_FALSE(lines.next(line));
}

// Any string in a base report: RapidJSON copied the first one onto its empty stack by adding
// to a null pointer (undefined behaviour that clang's UndefinedBehaviorSanitizer reports).
// Strings are decoded in place now; escapes, keys and the positions of errors are as before.
TEST(FuzzFindings, BaseReportStringsAreDecodedWhereTheyStand) {
    const std::string report =
        R"({"format":"tarvel-usage","version":1,"ram":{"used":5},"rom":{"used":7},)"
        R"("areas":[{"name":"A\u00e9","used":3}],"searches":[{"search":"s\t ","bytes":2}],)"
        R"("entries":[{"area":"A\u00e9","name":"\ud83d\ude00\"\\\/<x>","size":3},)"
        R"({"\u0061rea":"B","n\u0061me":"","size":4}]})";
    std::string error;
    const std::optional<usage_snapshot> snapshot = read_base_report(report, error);
    ASSERT_TRUE(snapshot.has_value()) << error;
    EXPECT_EQ(snapshot->areas.at(0).label, "A\xC3\xA9");
    EXPECT_EQ(snapshot->searches.at(0).label, "s\t ");
    ASSERT_EQ(snapshot->entries.size(), 2u);
    EXPECT_EQ(snapshot->entries[0].area, "A\xC3\xA9");
    EXPECT_EQ(snapshot->entries[0].name, "\xF0\x9F\x98\x80\"\\/<x>");
    EXPECT_EQ(snapshot->entries[1].area, "B");
    EXPECT_EQ(snapshot->entries[1].name, "");

    // A string cut off by the end of the text, or by a NUL inside it, is no JSON.
    EXPECT_FALSE(read_base_report(R"({"format":"tarvel-us)", error).has_value());
    EXPECT_EQ(error, "is not valid JSON (at byte 20: Missing a closing quotation mark in string.)");
    EXPECT_FALSE(read_base_report(std::string("{\"form\0at\":1}", 13), error).has_value());
    EXPECT_EQ(error, "is not valid JSON (at byte 6: Missing a closing quotation mark in string.)");
    EXPECT_FALSE(read_base_report(R"({"a":"\ud800"})", error).has_value());
    EXPECT_EQ(error.rfind("is not valid JSON (at byte ", 0), 0u) << error;
}

}  // namespace
}  // namespace tarvel
