#include "text/line_pipeline.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_reader.h"

namespace tarvel {
namespace {

// A record that keeps a view into its line, so that a batch handed back too early shows as
// changed text, and the state the maker carries from line to line.
struct numbered_line {
    std::string_view text;
    std::size_t made_as = 0;
};

// Gives `lines` in order, as a reader of a file would: each view valid until the next call.
class c_line_list {
  public:
    explicit c_line_list(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    bool operator()(std::string_view& line) {
        if (next_ == lines_.size()) {
            return false;
        }
        scratch_ = lines_[next_++];  // the view dies with the next call, as a line reader's
        line = scratch_;
        return true;
    }

  private:
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    std::string scratch_;
};

std::vector<numbered_line> read_all(const std::vector<std::string>& lines, std::size_t& last_line) {
    std::size_t made = 0;
    const auto make = [&made](std::string_view line) { return numbered_line{line, ++made}; };
    c_line_pipeline<numbered_line, c_line_list, decltype(make)> pipeline(c_line_list(lines), make);
    std::vector<numbered_line> records;
    last_line = 0;
    while (const numbered_line* record = pipeline.next()) {
        records.push_back(*record);
        last_line = pipeline.line_number();
        EXPECT_EQ(pipeline.line_number(), records.size());
    }
    return records;
}

TEST(LinePipeline, GivesEveryLineOnceInOrderAcrossBatches) {
    // Lines of every length, empty ones among them, one longer than a whole batch, and many
    // more lines than a batch holds: the records must view text that is still each line's.
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < 30000; ++i) {
        lines.push_back(i % 7 == 0 ? std::string()
                                   : std::string(i % 97, static_cast<char>('a' + i % 26)) +
                                         std::to_string(i));
    }
    lines[12345] = std::string(600 * 1024, 'x');
    lines.emplace_back();  // an empty last line
    std::size_t last_line = 0;
    const std::vector<numbered_line> records = read_all(lines, last_line);
    ASSERT_EQ(records.size(), lines.size());
    EXPECT_EQ(last_line, lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(records[i].made_as, i + 1);
    }
    // Copied out while valid, the views are checked against the lines only as each was taken;
    // check them again while taking, through a second pipeline.
    std::size_t made = 0;
    const auto make = [&made](std::string_view line) { return numbered_line{line, ++made}; };
    c_line_pipeline<numbered_line, c_line_list, decltype(make)> pipeline(c_line_list(lines), make);
    std::size_t index = 0;
    while (const numbered_line* record = pipeline.next()) {
        ASSERT_EQ(record->text, lines[index]) << "line " << index + 1;
        ++index;
    }
    EXPECT_EQ(index, lines.size());
    EXPECT_EQ(pipeline.next(), nullptr);  // and stays at the end
}

TEST(LinePipeline, NoLinesGiveNoRecord) {
    std::size_t last_line = 0;
    EXPECT_TRUE(read_all({}, last_line).empty());
    EXPECT_EQ(read_all({""}, last_line).size(), 1u);
}

TEST(LinePipeline, StoppingEarlyEndsTheWorker) {
    // A reader that stops at a heading leaves the rest unread: the pipeline ends without
    // reading it all, and without waiting for a caller that takes no more.
    std::vector<std::string> lines(200000, "line");
    std::size_t taken = 0;
    {
        const auto make = [](std::string_view line) { return line.size(); };
        c_line_pipeline<std::size_t, c_line_list, decltype(make)> pipeline(c_line_list(lines),
                                                                           make);
        while (pipeline.next() != nullptr && ++taken < 10) {
        }
    }
    EXPECT_EQ(taken, 10u);
}

TEST(LinePipeline, ReadsFromALineReaderWithItsLineEnds) {
    std::string text;
    for (int i = 0; i < 50000; ++i) {
        text += "row " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
    }
    text += "last";
    std::istringstream stream(text);
    c_line_reader reader(&stream);
    const auto next = [&reader](std::string_view& line) { return reader.next(line); };
    const auto make = [](std::string_view line) { return std::string(line); };
    c_line_pipeline<std::string, decltype(next), decltype(make)> pipeline(next, make);
    int index = 0;
    while (const std::string* line = pipeline.next()) {
        const std::string expected = index < 50000 ? "row " + std::to_string(index) : "last";
        ASSERT_EQ(*line, expected);
        ++index;
    }
    EXPECT_EQ(index, 50001);
}

}  // namespace
}  // namespace tarvel
