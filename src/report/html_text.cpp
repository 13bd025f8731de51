#include "report/html_text.h"

namespace tarvel {

std::string html_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void write_script_json(std::ostream& out, std::string_view json) {
    // A report of a million entries is some 100 MB: it is written in the pieces between the
    // "<" characters (the JSON writer leaves none), not copied.
    for (;;) {
        const std::size_t less = json.find('<');
        const std::string_view piece = json.substr(0, less);
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        if (less == std::string_view::npos) {
            return;
        }
        out << "\\u003c";
        json.remove_prefix(less + 1);
    }
}

}  // namespace tarvel
