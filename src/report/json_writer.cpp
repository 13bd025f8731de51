#include "report/json_writer.h"

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

void append_quoted(std::string& out, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
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
            continue;
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
                // Control characters, and "<", ">" and "&" so that the text can stand inside an
                // HTML script element unchanged.
                if (c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '&') {
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 0xF];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}
}  // namespace

std::string c_json_writer::quoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    append_quoted(out, text);
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
    append_quoted(text, name);
    text += ':';
    out_ << text;
    after_key_ = true;
    return *this;
}

c_json_writer& c_json_writer::value(std::string_view text) {
    separate();
    std::string quoted_text;
    quoted_text.reserve(text.size() + 2);
    append_quoted(quoted_text, text);
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
