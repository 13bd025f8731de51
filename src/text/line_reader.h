// Reads text lines of any length from a stream in large blocks, without an allocation per line.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <string_view>
#include <vector>

namespace tarvel {

// Splits a stream into lines. A line ends at a line feed; a carriage return right before the
// line feed belongs to the line end (map files often come from Windows machines). A NUL byte
// ends the visible text of its line. The last line needs no line feed. Lines are returned
// whole, whatever their length.
//
// Large maps hold millions of short lines, so finding the line feeds is most of the work of
// reading them: the buffer is scanned 64 characters at a time into a bit mask of line feeds,
// and each line end is then one bit of that mask.
class c_line_reader {
  public:
    explicit c_line_reader(std::istream* input = nullptr);

    // Starts over on another stream (or none), discarding whatever was buffered. `offset` is
    // where in its file the stream stands: positions count from there.
    void reset(std::istream* input, std::uint64_t offset = 0);

    // Where the next line begins, counted in characters of the file.
    std::uint64_t position() const { return buffer_offset_ + begin_; }

    // Reads no character at or after `offset` of the file: `next` gives false there, as at the
    // end of the stream, until `go_on`. Two readers can so share a file at a line start.
    void stop_at(std::uint64_t offset) { stop_ = offset; }
    // Whether `next` gave false at the stop, not at the end of the stream.
    bool at_stop() const { return position() == stop_ && stopped_; }
    // Lifts the stop: the lines after it follow.
    void go_on();

    // Gives the next line. The view stays valid until the next call of `next` or `reset`.
    // Returns false once the stream holds no further character.
    bool next(std::string_view& line) {
        while (feeds_ == 0) {
            if (chunk_ + chunk_size >= end_) {
                return next_from_more_input(line);
            }
            chunk_ += chunk_size;
            feeds_ = feed_mask(chunk_);
        }
        const std::size_t feed = chunk_ + static_cast<std::size_t>(std::countr_zero(feeds_));
        feeds_ &= feeds_ - 1;
        take_line(feed - begin_, feed + 1, line);
        return true;
    }

  private:
    static constexpr std::size_t chunk_size = 64;
    static constexpr std::size_t no_nul = static_cast<std::size_t>(-1);

    // The line of `length` characters at begin_; the next line starts at `next_begin`.
    void take_line(std::size_t length, std::size_t next_begin, std::string_view& line) {
        const char* start = buffer_.data() + begin_;
        const std::size_t line_begin = begin_;
        begin_ = next_begin;
        if (length > 0 && start[length - 1] == '\r' && next_begin > line_begin + length) {
            --length;
        }
        line = {start, length};
        if (next_nul_ < begin_) {
            cut_at_nul(line_begin, line);
        }
    }

    // Bits of the line feeds among the 64 characters from `from`, up to end_.
    std::uint64_t feed_mask(std::size_t from) const;
    bool next_from_more_input(std::string_view& line);
    bool fill();
    // Cuts the line that began at `line_begin` at the NUL found in it and looks for the next
    // NUL in the rest of the buffer.
    void cut_at_nul(std::size_t line_begin, std::string_view& line);
    void find_next_nul(std::size_t from);

    std::istream* input_;
    // Buffered characters, followed by chunk_size characters of room for the scan.
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // first unread character
    std::size_t end_ = 0;    // one past the last buffered character
    // The scan: feeds_ holds the not yet taken line feeds of the 64 characters from chunk_;
    // no line feed between begin_ and chunk_ is left.
    std::size_t chunk_ = 0;
    std::uint64_t feeds_ = 0;
    // The first NUL at or after begin_ among the buffered characters, or no_nul. The buffer is
    // searched for NULs once per block, not once per line.
    std::size_t next_nul_ = no_nul;
    bool exhausted_ = false;
    std::uint64_t buffer_offset_ = 0;  // where in the file buffer_[0] lies
    std::uint64_t stop_ = UINT64_MAX;
    bool stopped_ = false;  // the last fill met the stop
};

}  // namespace tarvel
