// Fuzz target: the block-wise line reader against a plain line splitter. The stream delivers
// its bytes in short reads of sizes taken from the input, so lines cross block boundaries,
// NULs and CRs land on them, and the buffer is moved and grown as with large files.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_reader.h"

namespace {
// A stream buffer that hands out at most a few bytes per read, cycling through `chunks`.
class c_short_reads : public std::streambuf {
  public:
    c_short_reads(std::string_view text, std::vector<std::size_t> chunks)
        : text_(text), chunks_(std::move(chunks)) {}

  protected:
    std::streamsize xsgetn(char* out, std::streamsize wanted) override {
        std::size_t chunk = chunks_[next_chunk_++ % chunks_.size()];
        chunk = std::min({chunk, static_cast<std::size_t>(wanted), text_.size() - position_});
        text_.copy(out, chunk, position_);
        position_ += chunk;
        return static_cast<std::streamsize>(chunk);
    }
    int_type underflow() override {
        return position_ < text_.size() ? traits_type::to_int_type(text_[position_])
                                        : traits_type::eof();
    }

  private:
    std::string_view text_;
    std::vector<std::size_t> chunks_;
    std::size_t next_chunk_ = 0;
    std::size_t position_ = 0;
};

// The lines as the file format defines them: LF ends a line, a CR right before it belongs to
// the line end, a NUL ends the visible text, and the last line needs no LF.
std::vector<std::string> reference_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t feed = text.find('\n', begin);
        std::string_view line =
            text.substr(begin, feed == std::string_view::npos ? text.size() - begin : feed - begin);
        if (feed != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = line.substr(0, line.find('\0'));
        lines.emplace_back(line);
        begin = feed == std::string_view::npos ? text.size() : feed + 1;
    }
    return lines;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first bytes choose the read sizes (1 to 256, and 0: end of stream after a short read
    // is not allowed, so 0 becomes a large read); the rest is the text.
    if (size < 4) {
        return 0;
    }
    std::vector<std::size_t> chunks;
    for (std::size_t i = 0; i < 4; ++i) {
        chunks.push_back(data[i] == 0 ? std::size_t{1} << 20 : data[i]);
    }
    const std::string_view text(reinterpret_cast<const char*>(data) + 4, size - 4);

    c_short_reads source(text, chunks);
    std::istream stream(&source);
    tarvel::c_line_reader reader(&stream);
    const std::vector<std::string> expected = reference_lines(text);
    std::size_t count = 0;
    std::string_view line;
    while (reader.next(line)) {
        if (count >= expected.size() || line != expected[count]) {
            std::abort();
        }
        ++count;
    }
    if (count != expected.size() || reader.next(line)) {
        std::abort();
    }
    return 0;
}
