#include "text/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tarvel {
namespace {

std::vector<std::string> read_all(const std::string& text) {
    std::istringstream input(text);
    c_line_reader reader(&input);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

using lines = std::vector<std::string>;

TEST(LineReader, SplitsAtLineFeedsAndDropsTheCarriageReturnBeforeThem) {
    EXPECT_EQ(read_all("a\nb\r\n\r\nc"), (lines{"a", "b", "", "c"}));
    EXPECT_EQ(read_all("a\n"), (lines{"a"}));
    EXPECT_EQ(read_all(""), lines{});
    EXPECT_EQ(read_all("\n\n"), (lines{"", ""}));
}

TEST(LineReader, KeepsCarriageReturnsThatDoNotEndALine) {
    EXPECT_EQ(read_all("a\rb\r\n"), (lines{"a\rb"}));
    EXPECT_EQ(read_all("a\r"), (lines{"a\r"}));
    EXPECT_EQ(read_all("a\r\r\n"), (lines{"a\r"}));
}

TEST(LineReader, NulEndsTheVisibleTextButNotTheLine) {
    EXPECT_EQ(read_all(std::string("ab\0cd\nef", 8)), (lines{"ab", "ef"}));
    EXPECT_EQ(read_all(std::string("\0\0\nx", 4)), (lines{"", "x"}));
}

TEST(LineReader, ReadsLinesLongerThanItsBlockWhole) {
    const std::string long_line(3 * 1024 * 1024 + 17, 'x');
    const lines result = read_all("first\n" + long_line + "\r\nlast");
    ASSERT_EQ(result.size(), 3u);
    EXPECT_EQ(result[0], "first");
    EXPECT_EQ(result[1], long_line);
    EXPECT_EQ(result[2], "last");
}

TEST(LineReader, LineEndsThatStraddleBlocksAreFound) {
    // A CR LF pair split between two reads, at every offset around the block size.
    for (std::size_t length : {256u * 1024 - 2, 256u * 1024 - 1, 256u * 1024, 256u * 1024 + 1}) {
        const std::string text = std::string(length, 'a') + "\r\nb\r\n";
        const lines result = read_all(text);
        ASSERT_EQ(result.size(), 2u) << length;
        EXPECT_EQ(result[0].size(), length);
        EXPECT_EQ(result[1], "b");
    }
}

TEST(LineReader, WithoutAStreamThereIsNothingToRead) {
    c_line_reader reader;
    std::string_view line;
    EXPECT_FALSE(reader.next(line));
}

}  // namespace
}  // namespace tarvel
