// The line reader against a plain splitter, on random text delivered in reads of random size:
// line ends, carriage returns and NULs at every position relative to the reader's 64-character
// scan and to its blocks.
#include <gtest/gtest.h>

#include <random>
#include <streambuf>
#include <string>
#include <vector>

#include "text/line_reader.h"

namespace tarvel {
namespace {

// The lines as the reader must give them, found one character at a time.
std::vector<std::string> plain_split(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        const bool has_feed = end != std::string::npos;
        if (!has_feed) {
            end = text.size();
        }
        std::string line = text.substr(begin, end - begin);
        if (has_feed && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t nul = line.find('\0');
        if (nul != std::string::npos) {
            line.resize(nul);
        }
        lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

// A stream buffer that hands out its text in pieces of random size, as pipes do.
class c_trickle_buffer : public std::streambuf {
  public:
    c_trickle_buffer(std::string text, unsigned seed) : text_(std::move(text)), random_(seed) {}

  protected:
    std::streamsize xsgetn(char* out, std::streamsize wanted) override {
        const std::size_t left = text_.size() - position_;
        std::size_t piece = std::uniform_int_distribution<std::size_t>(1, 5000)(random_);
        piece = std::min({piece, left, static_cast<std::size_t>(wanted)});
        text_.copy(out, piece, position_);
        position_ += piece;
        return static_cast<std::streamsize>(piece);
    }
    int_type underflow() override {
        return position_ < text_.size() ? traits_type::to_int_type(text_[position_])
                                        : traits_type::eof();
    }

  private:
    std::string text_;
    std::size_t position_ = 0;
    std::mt19937 random_;
};

std::vector<std::string> read_all(const std::string& text, unsigned seed) {
    c_trickle_buffer buffer(text, seed);
    std::istream input(&buffer);
    c_line_reader reader(&input);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    EXPECT_FALSE(reader.next(line));  // and it stays at the end
    return lines;
}

TEST(LineReaderBlocks, AgreesWithAPlainSplitterOnRandomText) {
    std::mt19937 random(99);
    const std::string pieces[] = {"a",
                                  "b",
                                  " ",
                                  "\t",
                                  "\n",
                                  "\r",
                                  "\r\n",
                                  std::string(1, '\0'),
                                  std::string(63, 'x'),
                                  std::string(64, 'y'),
                                  std::string(65, 'z')};
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const std::size_t length =
            std::uniform_int_distribution<std::size_t>(0, round < 50 ? 3000 : 700000)(random);
        // Some rounds are mostly long lines, some mostly line ends.
        const std::size_t bias = round % 4;
        while (text.size() < length) {
            std::size_t pick =
                std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random);
            if (bias == 0 && pick < 8 && random() % 2 == 0) {
                pick = 8 + random() % 3;
            }
            text += pieces[pick];
        }
        ASSERT_EQ(read_all(text, round), plain_split(text)) << "round " << round;
    }
}

TEST(LineReaderBlocks, LineEndsAndNulsAroundEveryScanBoundary) {
    for (std::size_t at = 0; at < 200; ++at) {
        for (const char mark : {'\n', '\0', '\r'}) {
            std::string text(300, 'q');
            text[at] = mark;
            text[at + 64] = '\n';
            ASSERT_EQ(read_all(text, static_cast<unsigned>(at)), plain_split(text)) << at;
        }
    }
}

TEST(LineReaderBlocks, ALongLineWithNulsAcrossManyBlocks) {
    std::string text = "first\n" + std::string(1 << 20, 'w') + "\nlast";
    text[6 + 300000] = '\0';
    text[6 + 900000] = '\0';
    const auto lines = read_all(text, 1);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], std::string(300000, 'w'));
    EXPECT_EQ(lines[2], "last");
}

TEST(LineReaderBlocks, ResetStartsOverOnAnotherStream) {
    c_trickle_buffer one("a\nb\nc\n", 1);
    c_trickle_buffer two(std::string("x\0y\nz", 5), 2);
    std::istream first(&one);
    std::istream second(&two);
    c_line_reader reader(&first);
    std::string_view line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "a");
    reader.reset(&second);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "x");
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "z");
    EXPECT_FALSE(reader.next(line));
}

}  // namespace
}  // namespace tarvel
