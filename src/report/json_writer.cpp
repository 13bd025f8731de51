#include "report/json_writer.h"

#include <array>
#include <cmath>

#include "text/fixed_text.h"

namespace tarvel {

namespace {
// The length of the valid UTF-8 sequence at the start of `text`, or 0 when it does not start
// with one (overlong forms, surrogates and values beyond U+10FFFF are not valid).
std::size_t utf8_sequence_length(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

// Bytes that a JSON string cannot hold as they are, or that need a look at their neighbours:
// quotes, backslashes, control characters, "<", ">", "&", and every byte of a multi-byte
// sequence. Names are mostly plain ASCII, so runs of other bytes are copied whole.
constexpr auto special_bytes = [] {
    std::array<bool, 256> special{};
    for (int c = 0; c < 256; ++c) {
        special[static_cast<std::size_t>(c)] =
            c < 0x20 || c >= 0x7F || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&';
    }
    return special;
}();

void append_special(std::string& out, std::string_view text, std::size_t& i) {
    static constexpr char hex[] = "0123456789abcdef";
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
        const std::size_t length = utf8_sequence_length(text.substr(i));
        if (length == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD REPLACEMENT CHARACTER
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
        return;
    }
    ++i;
    switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            // Other control characters, and "<", ">" and "&" so that the text can stand inside
            // an HTML script element unchanged.
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
    }
}
}  // namespace

void append_json_string(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        std::size_t plain = i;
        while (plain < text.size() && !special_bytes[static_cast<unsigned char>(text[plain])]) {
            ++plain;
        }
        out.append(text.data() + i, plain - i);
        i = plain;
        if (i < text.size()) {
            append_special(out, text, i);
        }
    }
    out += '"';
}

std::string c_json_writer::quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    append_json_string(out, text);
    return out;
}

void c_json_writer::separate() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) {
            out_ << ',';
        }
        first_.back() = false;
    }
}

c_json_writer& c_json_writer::begin_object() {
    separate();
    out_ << '{';
    first_.push_back(true);
    return *this;
}

c_json_writer& c_json_writer::end_object() {
    first_.pop_back();
    out_ << '}';
    return *this;
}

c_json_writer& c_json_writer::begin_array() {
    separate();
    out_ << '[';
    first_.push_back(true);
    return *this;
}

c_json_writer& c_json_writer::end_array() {
    first_.pop_back();
    out_ << ']';
    return *this;
}

c_json_writer& c_json_writer::key(std::string_view name) {
    separate();
    std::string text;
    append_json_string(text, name);
    text += ':';
    out_ << text;
    after_key_ = true;
    return *this;
}

c_json_writer& c_json_writer::value(std::string_view text) {
    separate();
    std::string quoted_text;
    quoted_text.reserve(text.size() + 2);
    append_json_string(quoted_text, text);
    out_ << quoted_text;
    return *this;
}

c_json_writer& c_json_writer::value(std::int64_t number) {
    separate();
    out_ << std::to_string(number);
    return *this;
}

c_json_writer& c_json_writer::value(std::uint64_t number) {
    separate();
    out_ << std::to_string(number);
    return *this;
}

c_json_writer& c_json_writer::value(bool flag) {
    separate();
    out_ << (flag ? "true" : "false");
    return *this;
}

c_json_writer& c_json_writer::null() {
    separate();
    out_ << "null";
    return *this;
}

c_json_writer& c_json_writer::one_decimal(double number) {
    separate();
    // JSON has no NaN or Infinity; no figure of the model is either, but a 0 is the honest
    // fallback should one ever be.
    if (!std::isfinite(number)) {
        number = 0;
    }
    out_ << fixed_text(number, 1);
    return *this;
}

c_json_writer& c_json_writer::raw(std::string_view json) {
    separate();
    out_ << json;
    return *this;
}

}  // namespace tarvel
