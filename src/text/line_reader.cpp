#include "text/line_reader.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TARVEL_LINE_READER_SSE2 1
#endif

namespace tarvel {

namespace {
constexpr std::size_t block_size = 256 * 1024;
}  // namespace

c_line_reader::c_line_reader(std::istream* input) : input_(input), buffer_(chunk_size) {}

void c_line_reader::reset(std::istream* input, std::uint64_t offset) {
    input_ = input;
    begin_ = 0;
    end_ = 0;
    chunk_ = 0;
    feeds_ = 0;
    next_nul_ = no_nul;
    exhausted_ = false;
    buffer_offset_ = offset;
    stop_ = UINT64_MAX;
    stopped_ = false;
}

void c_line_reader::go_on() {
    stop_ = UINT64_MAX;
    if (stopped_) {
        stopped_ = false;
        exhausted_ = false;
    }
}

std::uint64_t c_line_reader::feed_mask(std::size_t from) const {
    const char* chunk = buffer_.data() + from;
    std::uint64_t mask = 0;
#ifdef TARVEL_LINE_READER_SSE2
    const __m128i feed = _mm_set1_epi8('\n');
    for (int part = 0; part < 4; ++part) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + 16 * part));
        const auto bits =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)));
        mask |= static_cast<std::uint64_t>(bits) << (16 * part);
    }
#else
    for (std::size_t i = 0; i < chunk_size; ++i) {
        mask |= static_cast<std::uint64_t>(chunk[i] == '\n') << i;
    }
#endif
    // The room after the buffered characters holds whatever was there before.
    if (end_ - from < chunk_size) {
        mask &= (std::uint64_t{1} << (end_ - from)) - 1;
    }
    return mask;
}

void c_line_reader::find_next_nul(std::size_t from) {
    const void* nul = std::memchr(buffer_.data() + from, '\0', end_ - from);
    next_nul_ = nul == nullptr
                    ? no_nul
                    : static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data());
}

void c_line_reader::cut_at_nul(std::size_t line_begin, std::string_view& line) {
    if (next_nul_ - line_begin < line.size()) {
        line = line.substr(0, next_nul_ - line_begin);
    }
    find_next_nul(begin_);
}

// Moves the unread rest to the front, grows the buffer when a single line fills it, reads one
// more block and scans it for line feeds and NULs. Returns false when nothing more could be read.
bool c_line_reader::fill() {
    if (exhausted_ || input_ == nullptr) {
        exhausted_ = true;
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        buffer_offset_ += begin_;
        end_ -= begin_;
        if (next_nul_ != no_nul) {
            next_nul_ -= begin_;
        }
        begin_ = 0;
    }
    if (buffer_.size() - chunk_size - end_ < block_size) {
        buffer_.resize(end_ + block_size + chunk_size);
    }
    std::uint64_t room = buffer_.size() - chunk_size - end_;
    const std::uint64_t read_to = buffer_offset_ + end_;
    if (stop_ != UINT64_MAX) {
        room = read_to >= stop_ ? 0 : std::min(room, stop_ - read_to);
    }
    const std::streamsize got =
        room > 0 && input_->rdbuf()
            ? input_->rdbuf()->sgetn(buffer_.data() + end_, static_cast<std::streamsize>(room))
            : 0;
    if (got <= 0) {
        stopped_ = room == 0;
        exhausted_ = true;
        return false;
    }
    // The unread rest holds no line feed, so the scan goes on from the new characters.
    const std::size_t old_end = end_;
    end_ += static_cast<std::size_t>(got);
    chunk_ = old_end;
    feeds_ = feed_mask(chunk_);
    if (next_nul_ == no_nul) {
        find_next_nul(old_end);
    }
    return true;
}

bool c_line_reader::next_from_more_input(std::string_view& line) {
    // Every line feed buffered so far was taken: read more until one comes or the stream ends.
    for (;;) {
        const std::size_t unread = end_ - begin_;
        if (!fill()) {
            chunk_ = end_;
            feeds_ = 0;
            if (unread == 0) {
                line = {};
                return false;
            }
            // The last line of the stream, without a line feed after it.
            take_line(unread, end_, line);
            return true;
        }
        while (feeds_ == 0 && chunk_ + chunk_size < end_) {
            chunk_ += chunk_size;
            feeds_ = feed_mask(chunk_);
        }
        if (feeds_ != 0) {
            return next(line);  // takes that line feed at once
        }
    }
}

}  // namespace tarvel
