#include "text/line_reader.h"

#include <cstring>

namespace tarvel {

namespace {
constexpr std::size_t block_size = 256 * 1024;

std::string_view visible_text(const char* begin, std::size_t length) {
    const void* nul = std::memchr(begin, '\0', length);
    if (nul != nullptr) {
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - begin);
    }
    return {begin, length};
}
}  // namespace

c_line_reader::c_line_reader(std::istream* input) : input_(input) {}

void c_line_reader::reset(std::istream* input) {
    input_ = input;
    begin_ = 0;
    end_ = 0;
    exhausted_ = false;
}

// Moves the unread rest to the front, grows the buffer when a single line fills it, and reads
// one more block. Returns false when nothing more could be read.
bool c_line_reader::fill() {
    if (exhausted_ || input_ == nullptr) {
        exhausted_ = true;
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() - end_ < block_size) {
        buffer_.resize(end_ + block_size);
    }
    const auto wanted = static_cast<std::streamsize>(buffer_.size() - end_);
    const std::streamsize got = input_->rdbuf() ? input_->rdbuf()->sgetn(buffer_.data() + end_, wanted) : 0;
    if (got <= 0) {
        exhausted_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

bool c_line_reader::next(std::string_view& line) {
    std::size_t scanned = begin_;
    for (;;) {
        const char* start = buffer_.data() + begin_;
        // Before the first block is read the buffer has no storage, and memchr must not be
        // given a null pointer, not even for a length of 0.
        const void* found =
            scanned < end_ ? std::memchr(buffer_.data() + scanned, '\n', end_ - scanned) : nullptr;
        if (found != nullptr) {
            const auto feed = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
            std::size_t length = feed - begin_;
            if (length > 0 && start[length - 1] == '\r') {
                --length;
            }
            begin_ = feed + 1;
            line = visible_text(start, length);
            return true;
        }
        const std::size_t unread = end_ - begin_;
        if (!fill()) {
            if (unread == 0) {
                line = {};
                return false;
            }
            // The last line of the stream, without a line feed after it.
            line = visible_text(buffer_.data() + begin_, unread);
            begin_ = end_;
            return true;
        }
        scanned = begin_ + unread;
    }
}

}  // namespace tarvel
