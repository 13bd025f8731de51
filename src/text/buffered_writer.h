// Output collected in a large buffer and handed to a stream in big pieces, with numbers
// formatted by hand: a report with a million lines would otherwise spend most of its time in
// the stream's formatting of each field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

namespace tarvel {

class c_buffered_writer {
  public:
    explicit c_buffered_writer(std::ostream& out);
    // Hands what is left to the stream.
    ~c_buffered_writer();
    c_buffered_writer(const c_buffered_writer&) = delete;
    c_buffered_writer& operator=(const c_buffered_writer&) = delete;

    c_buffered_writer& put(std::string_view text) {
        if (text.size() > buffer_.size() - used_) {
            return put_large(text);
        }
        text.copy(buffer_.data() + used_, text.size());
        used_ += text.size();
        return *this;
    }
    c_buffered_writer& put(char c) {
        if (used_ == buffer_.size()) {
            flush();
        }
        buffer_[used_++] = c;
        return *this;
    }
    // In decimal, as a stream writes it by default.
    c_buffered_writer& put_decimal(std::uint64_t number);
    c_buffered_writer& put_decimal(std::int64_t number);
    // Eight upper-case hexadecimal digits, as printf's "%08X" writes a 32-bit number.
    c_buffered_writer& put_hex8(std::uint32_t number);

    // Hands the buffered text to the stream.
    void flush();

  private:
    c_buffered_writer& put_large(std::string_view text);

    std::ostream& out_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

}  // namespace tarvel
