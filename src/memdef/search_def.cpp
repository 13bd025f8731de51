#include "memdef/search_def.h"

#include "text/hex_number.h"

namespace tarvel {

bool search_def::add(std::uint32_t size) {
    if (!valid) {
        return false;
    }
    total += size;
    return true;
}

bool search_def::matches(std::string_view name) const {
    const auto occurs = [name](const std::string& term) {
        return name.find(term) != std::string_view::npos;
    };
    bool all_test = !all_terms.empty();
    for (const auto& term : all_terms) {
        if (!occurs(term)) {
            all_test = false;
            break;
        }
    }
    bool any_test = false;
    for (const auto& term : any_terms) {
        if (occurs(term)) {
            any_test = true;
            break;
        }
    }
    if (!all_test && !any_test) {
        return false;
    }
    for (const auto& term : none_terms) {
        if (occurs(term)) {
            return false;
        }
    }
    return true;
}

std::string search_def::describe() const {
    std::string text;
    for (const auto& term : all_terms) {
        text += term;
        text += ' ';
    }
    for (const auto& term : any_terms) {
        text += '|';
        text += term;
        text += ' ';
    }
    for (const auto& term : none_terms) {
        text += '!';
        text += term;
        text += ' ';
    }
    return text;
}

search_def parse_terms(std::string_view text) {
    search_def search;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && is_c_space(text[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && !is_c_space(text[pos])) {
            ++pos;
        }
        if (pos == begin) {
            break;
        }
        const std::string_view term = text.substr(begin, pos - begin);
        if (term.front() == '!') {
            search.none_terms.emplace_back(term.substr(1));
        } else if (term.front() == '|') {
            search.any_terms.emplace_back(term.substr(1));
        } else {
            search.all_terms.emplace_back(term);
        }
    }
    search.valid =
        !search.all_terms.empty() || !search.any_terms.empty() || !search.none_terms.empty();
    return search;
}

}  // namespace tarvel
