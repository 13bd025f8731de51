#include "text/buffered_writer.h"

namespace tarvel {

namespace {
constexpr std::size_t buffer_size = 64 * 1024;
}  // namespace

c_buffered_writer::c_buffered_writer(std::ostream& out) : out_(out), buffer_(buffer_size) {}

c_buffered_writer::~c_buffered_writer() {
    flush();
}

void c_buffered_writer::flush() {
    if (used_ > 0) {
        out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
        used_ = 0;
    }
}

c_buffered_writer& c_buffered_writer::put_large(std::string_view text) {
    flush();
    if (text.size() >= buffer_.size()) {
        out_.write(text.data(), static_cast<std::streamsize>(text.size()));
        return *this;
    }
    return put(text);
}

c_buffered_writer& c_buffered_writer::put_decimal(std::uint64_t number) {
    char digits[20];
    std::size_t count = 0;
    do {
        digits[sizeof digits - ++count] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    return put(std::string_view(digits + sizeof digits - count, count));
}

c_buffered_writer& c_buffered_writer::put_decimal(std::int64_t number) {
    if (number < 0) {
        put('-');
        // The magnitude in unsigned arithmetic, which also holds that of the smallest number.
        return put_decimal(std::uint64_t{0} - static_cast<std::uint64_t>(number));
    }
    return put_decimal(static_cast<std::uint64_t>(number));
}

c_buffered_writer& c_buffered_writer::put_hex8(std::uint32_t number) {
    static constexpr char hex_digits[] = "0123456789ABCDEF";
    char digits[8];
    for (int i = 7; i >= 0; --i) {
        digits[i] = hex_digits[number & 0xFu];
        number >>= 4;
    }
    return put(std::string_view(digits, sizeof digits));
}

}  // namespace tarvel
