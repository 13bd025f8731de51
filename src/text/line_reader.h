// Reads text lines of any length from a stream in large blocks, without an allocation per line.
#pragma once

#include <cstddef>
#include <istream>
#include <string_view>
#include <vector>

namespace tarvel {

// Splits a stream into lines. A line ends at a line feed; a carriage return right before the
// line feed belongs to the line end (map files often come from Windows machines). A NUL byte
// ends the visible text of its line. The last line needs no line feed. Lines are returned
// whole, whatever their length.
class c_line_reader {
public:
    explicit c_line_reader(std::istream* input = nullptr);

    // Starts over on another stream (or none), discarding whatever was buffered.
    void reset(std::istream* input);

    // Gives the next line. The view stays valid until the next call of `next` or `reset`.
    // Returns false once the stream holds no further character.
    bool next(std::string_view& line);

private:
    bool fill();

    std::istream* input_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // first unread character
    std::size_t end_ = 0;    // one past the last buffered character
    bool exhausted_ = false;
};

}  // namespace tarvel
