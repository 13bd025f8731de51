// Finds elements and their attributes in a serialised HTML document, as far as the page tests
// need: start tags and their attributes, with the contents of scripts and styles skipped.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::test {

struct dom_element {
    std::string tag;
    std::map<std::string, std::string> attributes;

    bool has(const std::string& name) const { return attributes.count(name) != 0; }
    const std::string& operator[](const std::string& name) const {
        static const std::string none;
        const auto found = attributes.find(name);
        return found == attributes.end() ? none : found->second;
    }
    double number(const std::string& name) const { return std::stod((*this)[name]); }
};

// The characters that a serialised attribute value or text holds as references.
inline std::string decode_references(std::string_view text) {
    static const std::pair<std::string_view, std::string_view> references[] = {
        {"&amp;", "&"}, {"&quot;", "\""}, {"&lt;", "<"},
        {"&gt;", ">"},  {"&#39;", "'"},   {"&nbsp;", "\xC2\xA0"}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [reference, character] : references) {
            if (text.substr(i, reference.size()) == reference) {
                out += character;
                i += reference.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out += text[i++];
        }
    }
    return out;
}

// Every element of `dom` whose start tag has the attribute `attribute` (all when empty).
inline std::vector<dom_element> elements_with(std::string_view dom,
                                              const std::string& attribute = "") {
    std::vector<dom_element> found;
    std::size_t at = 0;
    while ((at = dom.find('<', at)) != std::string_view::npos) {
        ++at;
        if (at >= dom.size() || !std::isalpha(static_cast<unsigned char>(dom[at]))) {
            continue;
        }
        dom_element element;
        while (at < dom.size() && (std::isalnum(static_cast<unsigned char>(dom[at])) != 0)) {
            element.tag += static_cast<char>(std::tolower(static_cast<unsigned char>(dom[at++])));
        }
        while (at < dom.size() && dom[at] != '>') {
            if (std::isspace(static_cast<unsigned char>(dom[at])) != 0 || dom[at] == '/') {
                ++at;
                continue;
            }
            std::string name;
            while (at < dom.size() && dom[at] != '=' && dom[at] != '>' &&
                   std::isspace(static_cast<unsigned char>(dom[at])) == 0) {
                name += dom[at++];
            }
            std::string value;
            if (at < dom.size() && dom[at] == '=') {
                ++at;
                const char quote = dom[at];
                if (quote == '"' || quote == '\'') {
                    const std::size_t end = dom.find(quote, at + 1);
                    value = decode_references(dom.substr(at + 1, end - at - 1));
                    at = end == std::string_view::npos ? dom.size() : end + 1;
                } else {
                    while (at < dom.size() && dom[at] != '>' &&
                           std::isspace(static_cast<unsigned char>(dom[at])) == 0) {
                        value += dom[at++];
                    }
                }
            }
            element.attributes[name] = value;
        }
        if (element.tag == "script" || element.tag == "style") {
            const std::size_t end = dom.find("</" + element.tag, at);
            at = end == std::string_view::npos ? dom.size() : end;
        }
        if (attribute.empty() || element.has(attribute)) {
            found.push_back(std::move(element));
        }
    }
    return found;
}

}  // namespace tarvel::test
