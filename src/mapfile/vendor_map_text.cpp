#include "mapfile/vendor_map_text.h"

#include "text/hex_number.h"
#include "text/text_tokens.h"

namespace tarvel::vendor {

bool read_hex(std::string_view token, std::uint64_t& value) {
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        token.remove_prefix(2);
    }
    std::uint64_t result = 0;
    int significant = 0;
    bool any = false;
    for (const char c : token) {
        if (c == '\'' && any) {
            continue;
        }
        if (!is_hex_digit(c)) {
            return false;
        }
        any = true;
        const unsigned digit = hex_digit_value(c);
        if (result != 0 || digit != 0) {
            ++significant;
        }
        if (significant > 16) {
            return false;
        }
        result = (result << 4) | digit;
    }
    if (!any || token.back() == '\'') {
        return false;
    }
    value = result;
    return true;
}

bool read_hex32(std::string_view token, std::uint32_t& value) {
    std::uint64_t wide = 0;
    if (!read_hex(token, wide) || wide > 0xFFFFFFFFu) {
        return false;
    }
    value = static_cast<std::uint32_t>(wide);
    return true;
}

bool read_decimal(std::string_view token, std::uint64_t& value) {
    std::uint64_t result = 0;
    bool any = false;
    for (const char c : token) {
        if (c == '\'' && any) {
            continue;
        }
        if (!is_decimal_digit(c)) {
            return false;
        }
        any = true;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (result > (UINT64_MAX - digit) / 10) {
            return false;
        }
        result = result * 10 + digit;
    }
    if (!any || token.back() == '\'') {
        return false;
    }
    value = result;
    return true;
}

std::vector<std::string_view> tokens_of(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t pos = 0;
    for (std::string_view token = next_token(line, pos); !token.empty();
         token = next_token(line, pos)) {
        result.push_back(token);
    }
    return result;
}

bool first_grouped_decimal(std::string_view text, std::uint64_t& value) {
    std::size_t pos = 0;
    while (pos < text.size() && !is_decimal_digit(text[pos])) {
        ++pos;
    }
    if (pos == text.size()) {
        return false;
    }
    std::uint64_t result = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (is_decimal_digit(c)) {
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (result > (UINT64_MAX - digit) / 10) {
                return false;
            }
            result = result * 10 + digit;
            ++pos;
            continue;
        }
        // A separator counts only when exactly three digits follow it and no fourth.
        const bool separator = c == '\'' || c == ',' || c == ' ';
        const bool three = pos + 3 < text.size() + 0 && is_decimal_digit(text[pos + 1]) &&
                           is_decimal_digit(text[pos + 2]) && is_decimal_digit(text[pos + 3]) &&
                           (pos + 4 >= text.size() || !is_decimal_digit(text[pos + 4]));
        if (!separator || !three) {
            break;
        }
        ++pos;
    }
    value = result;
    return true;
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string result;
    for (const std::string_view part : parts) {
        result.append(part);
    }
    return result;
}

}  // namespace tarvel::vendor
