#include "memdef/ld_script_memory.h"

#include <cctype>
#include <map>
#include <optional>

namespace tarvel {

namespace {
constexpr int include_depth_limit = 16;

bool is_word_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.' || c == '$';
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// Reads a number as ld does: "0x" hexadecimal, a leading 0 octal, an "h", "o" or "b" suffix
// for hexadecimal, octal or binary, and "K" or "M" after it all.
std::optional<std::uint64_t> read_number(std::string_view text) {
    std::uint64_t scale = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'k')) {
        scale = 1024;
        text.remove_suffix(1);
    } else if (!text.empty() && (text.back() == 'M' || text.back() == 'm')) {
        scale = 1024 * 1024;
        text.remove_suffix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H')) {
        base = 16;
        text.remove_suffix(1);
    } else if (text.size() > 1 && (text.back() == 'o' || text.back() == 'O')) {
        base = 8;
        text.remove_suffix(1);
    } else if (text.size() > 1 && (text.back() == 'b' || text.back() == 'B')) {
        base = 2;
        text.remove_suffix(1);
    } else if (text.size() > 1 && (text.back() == 'd' || text.back() == 'D')) {
        text.remove_suffix(1);
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) != 0
                              ? c - '0'
                              : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0 ||
            static_cast<unsigned>(digit) >= base) {
            return std::nullopt;
        }
        value = value * base + static_cast<std::uint64_t>(digit);
    }
    return value * scale;
}

struct token {
    std::string text;  // empty at the end of the script
    std::string file;
    std::size_t line = 0;
};

// The tokens of a script and the files it includes: words (names and numbers) and operators,
// comments left out.
class c_script_lexer {
  public:
    bool push(const std::string& text, const std::string& name, input_error& error) {
        if (sources_.size() >= include_depth_limit) {
            error = {name, 0,
                     "INCLUDE nested more than " + std::to_string(include_depth_limit) + " deep"};
            return false;
        }
        sources_.push_back({text, name, 0, 1});
        return true;
    }

    // The next token; false with `error` for an unterminated comment.
    bool next(token& result, input_error& error) {
        while (!sources_.empty()) {
            source& s = sources_.back();
            if (!skip_blanks(s, error)) {
                return false;
            }
            if (s.pos >= s.text.size()) {
                end_file_ = s.name;
                end_line_ = s.line;
                sources_.pop_back();
                continue;
            }
            result.file = s.name;
            result.line = s.line;
            const std::size_t begin = s.pos;
            if (is_word_char(s.text[s.pos])) {
                while (s.pos < s.text.size() && is_word_char(s.text[s.pos])) {
                    ++s.pos;
                }
            } else if (s.text.compare(s.pos, 2, "<<") == 0 || s.text.compare(s.pos, 2, ">>") == 0) {
                s.pos += 2;
            } else {
                ++s.pos;
            }
            result.text = s.text.substr(begin, s.pos - begin);
            return true;
        }
        result = {"", end_file_, end_line_};  // the end, where the last file ended
        return true;
    }

    // The file name after INCLUDE: everything up to white space or ";", or a quoted text.
    std::string file_name(input_error& error) {
        source& s = sources_.back();
        if (!skip_blanks(s, error) || s.pos >= s.text.size()) {
            return {};
        }
        const bool quoted = s.text[s.pos] == '"';
        const std::size_t begin = quoted ? s.pos + 1 : s.pos;
        std::size_t end = begin;
        while (end < s.text.size() &&
               (quoted ? s.text[end] != '"'
                       : std::isspace(static_cast<unsigned char>(s.text[end])) == 0 &&
                             s.text[end] != ';')) {
            ++end;
        }
        s.pos = quoted && end < s.text.size() ? end + 1 : end;
        return s.text.substr(begin, end - begin);
    }

    const std::string& current_file() const { return sources_.back().name; }

  private:
    struct source {
        std::string text;
        std::string name;
        std::size_t pos;
        std::size_t line;
    };

    static bool skip_blanks(source& s, input_error& error) {
        while (s.pos < s.text.size()) {
            const char c = s.text[s.pos];
            if (c == '\n') {
                ++s.line;
                ++s.pos;
            } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
                ++s.pos;
            } else if (s.text.compare(s.pos, 2, "/*") == 0) {
                const std::size_t end = s.text.find("*/", s.pos + 2);
                if (end == std::string::npos) {
                    error = {s.name, s.line, "the comment is not closed"};
                    return false;
                }
                for (std::size_t i = s.pos; i < end; ++i) {
                    s.line += s.text[i] == '\n' ? 1 : 0;
                }
                s.pos = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    std::vector<source> sources_;
    std::string end_file_;
    std::size_t end_line_ = 0;
};

class c_memory_parser {
  public:
    c_memory_parser(const ld_script_include_reader& include_reader,
                    std::vector<ld_script_region>& regions, input_error& error)
        : include_reader_(include_reader), regions_(regions), error_(error) {}

    bool run(const std::string& text, const std::string& name) {
        if (!lexer_.push(text, name, error_) || !advance()) {
            return false;
        }
        while (!current_.text.empty()) {
            if (current_.text == "MEMORY") {
                if (!advance() || !expect("{") || !read_regions()) {
                    return false;
                }
            } else if (current_.text == "{") {
                if (!skip_block()) {
                    return false;
                }
            } else if (is_name(current_.text)) {
                const std::string word = current_.text;
                if (!advance()) {
                    return false;
                }
                if (current_.text == "=" && !read_assignment(word)) {
                    return false;
                }
            } else if (!advance()) {
                return false;
            }
        }
        return true;
    }

  private:
    static bool is_name(std::string_view text) {
        return !text.empty() && is_word_char(text[0]) &&
               std::isdigit(static_cast<unsigned char>(text[0])) == 0;
    }

    // Moves to the next token, taking in the files that INCLUDE names on the way.
    bool advance() {
        fatal_ = !take_next();
        return !fatal_;
    }

    bool take_next() {
        for (;;) {
            if (!lexer_.next(current_, error_)) {
                return false;
            }
            if (current_.text != "INCLUDE") {
                return true;
            }
            const std::string including = lexer_.current_file();
            const std::string file = lexer_.file_name(error_);
            if (!error_.what.empty()) {
                return false;
            }
            const std::optional<ld_script_text> included =
                include_reader_ ? include_reader_(file, including) : std::nullopt;
            if (!included) {
                return fail("cannot read the included file '" + file + "'");
            }
            if (!lexer_.push(included->text, included->name, error_)) {
                return false;
            }
        }
    }

    bool fail(const std::string& what) { return fail_at(current_, what); }

    bool fail_at(const token& at, const std::string& what) {
        error_ = {at.file, at.line, what};
        return false;
    }

    bool expect(std::string_view text) {
        if (current_.text != text) {
            return fail("expected '" + std::string(text) + "', found " + found());
        }
        return advance();
    }

    std::string found() const {
        return current_.text.empty() ? "the end of the script" : "'" + current_.text + "'";
    }

    bool skip_block() {
        int depth = 0;
        do {
            depth += current_.text == "{" ? 1 : current_.text == "}" ? -1 : 0;
            if (current_.text.empty()) {
                return fail("a '{' is not closed");
            }
            if (!advance()) {
                return false;
            }
        } while (depth > 0);
        return true;
    }

    // "NAME = expression;" at the top level. One that cannot be evaluated here (it names the
    // location counter or a symbol of the sections) is left undefined: only a region that
    // uses it fails.
    bool read_assignment(const std::string& name) {
        if (!advance()) {
            return false;
        }
        std::optional<std::uint64_t> value = expression();
        if (fatal_) {
            return false;  // the script itself cannot be read on
        }
        error_ = {};
        if (value) {
            symbols_[name] = *value;
        } else {
            symbols_.erase(name);
        }
        while (!current_.text.empty() && current_.text != ";" && current_.text != "}") {
            if (!advance()) {
                return false;
            }
        }
        return current_.text != ";" || advance();
    }

    bool read_regions() {
        while (current_.text != "}") {
            if (current_.text.empty()) {
                return fail("the MEMORY command is not closed");
            }
            if (!is_name(current_.text)) {
                return fail("expected a region name, found " + found());
            }
            ld_script_region region;
            region.name = current_.text;
            if (!advance()) {
                return false;
            }
            if (current_.text == "(") {
                if (!advance()) {
                    return false;
                }
                while (current_.text != ")") {
                    if (current_.text.empty()) {
                        return fail("the attributes of region '" + region.name +
                                    "' are not closed");
                    }
                    region.attributes += current_.text;
                    if (!advance()) {
                        return false;
                    }
                }
                if (!advance()) {
                    return false;
                }
            }
            if (!expect(":") || !read_value(region, {"ORIGIN", "org", "o"}, region.origin)) {
                return false;
            }
            if (current_.text == "," && !advance()) {
                return false;
            }
            if (!read_value(region, {"LENGTH", "len", "l"}, region.length)) {
                return false;
            }
            if (current_.text == "," && !advance()) {
                return false;
            }
            regions_.push_back(std::move(region));
        }
        return advance();
    }

    bool read_value(const ld_script_region& region, std::initializer_list<std::string_view> keys,
                    std::uint64_t& value) {
        bool known = false;
        for (const std::string_view key : keys) {
            known = known || equals_ignoring_case(current_.text, key);
        }
        if (!known) {
            return fail("expected " + std::string(*keys.begin()) + " of region '" + region.name +
                        "', found " + found());
        }
        if (!advance() || !expect("=")) {
            return false;
        }
        const std::optional<std::uint64_t> result = expression();
        if (!result) {
            return false;
        }
        value = *result;
        return true;
    }

    // Precedence climbing over the binary operators, lowest first.
    static int precedence(std::string_view op) {
        if (op == "|")
            return 1;
        if (op == "&")
            return 2;
        if (op == "<<" || op == ">>")
            return 3;
        if (op == "+" || op == "-")
            return 4;
        if (op == "*" || op == "/" || op == "%")
            return 5;
        return 0;
    }

    std::optional<std::uint64_t> expression(int min_precedence = 1) {
        std::optional<std::uint64_t> left = unary();
        while (left) {
            const std::string op = current_.text;
            const int level = precedence(op);
            if (level < min_precedence || level == 0) {
                break;
            }
            if (!advance()) {
                return std::nullopt;
            }
            const std::optional<std::uint64_t> right = expression(level + 1);
            if (!right) {
                return std::nullopt;
            }
            left = apply(op, *left, *right);
        }
        return left;
    }

    std::optional<std::uint64_t> apply(const std::string& op, std::uint64_t a, std::uint64_t b) {
        if ((op == "/" || op == "%") && b == 0) {
            fail("division by zero");
            return std::nullopt;
        }
        if (op == "|")
            return a | b;
        if (op == "&")
            return a & b;
        if (op == "<<")
            return b < 64 ? a << b : 0;
        if (op == ">>")
            return b < 64 ? a >> b : 0;
        if (op == "+")
            return a + b;
        if (op == "-")
            return a - b;
        if (op == "*")
            return a * b;
        if (op == "/")
            return a / b;
        return a % b;
    }

    std::optional<std::uint64_t> unary() {
        const std::string op = current_.text;
        if (op == "-" || op == "~" || op == "!" || op == "+") {
            if (!advance()) {
                return std::nullopt;
            }
            const std::optional<std::uint64_t> value = unary();
            if (!value) {
                return std::nullopt;
            }
            return op == "-"   ? 0 - *value
                   : op == "~" ? ~*value
                   : op == "!" ? (*value == 0)
                               : *value;
        }
        return primary();
    }

    std::optional<std::uint64_t> primary() {
        const token word = current_;
        if (word.text == "(") {
            if (!advance()) {
                return std::nullopt;
            }
            const std::optional<std::uint64_t> value = expression();
            if (!value || !expect(")")) {
                return std::nullopt;
            }
            return value;
        }
        if (word.text.empty() || !is_word_char(word.text[0])) {
            fail("expected a value, found " + found());
            return std::nullopt;
        }
        if (!advance()) {
            return std::nullopt;
        }
        if (std::isdigit(static_cast<unsigned char>(word.text[0])) != 0) {
            const std::optional<std::uint64_t> value = read_number(word.text);
            if (!value) {
                fail_at(word, "'" + word.text + "' is no number");
            }
            return value;
        }
        if (current_.text == "(") {
            return function(word);
        }
        const auto symbol = symbols_.find(word.text);
        if (symbol == symbols_.end()) {
            fail_at(word, "the symbol '" + word.text + "' has no value here");
            return std::nullopt;
        }
        return symbol->second;
    }

    // ORIGIN(region), LENGTH(region), MIN(a, b), MAX(a, b), ALIGN(a, b); the "(" is current.
    std::optional<std::uint64_t> function(const token& called) {
        const std::string& name = called.text;
        if (!advance()) {
            return std::nullopt;
        }
        const bool of_region = name == "ORIGIN" || name == "LENGTH";
        if (of_region) {
            const std::string region_name = current_.text;
            if (!advance() || !expect(")")) {
                return std::nullopt;
            }
            for (const ld_script_region& region : regions_) {
                if (region.name == region_name) {
                    return name == "ORIGIN" ? region.origin : region.length;
                }
            }
            fail_at(called,
                    "unknown region '" + region_name + "' in " + name + "(" + region_name + ")");
            return std::nullopt;
        }
        if (name != "MIN" && name != "MAX" && name != "ALIGN") {
            fail_at(called, "the function " + name + " has no value here");
            return std::nullopt;
        }
        const std::optional<std::uint64_t> a = expression();
        if (!a || !expect(",")) {
            return std::nullopt;
        }
        const std::optional<std::uint64_t> b = expression();
        if (!b || !expect(")")) {
            return std::nullopt;
        }
        if (name == "MIN")
            return std::min(*a, *b);
        if (name == "MAX")
            return std::max(*a, *b);
        return *b == 0 ? *a : (*a + *b - 1) / *b * *b;
    }

    const ld_script_include_reader& include_reader_;
    std::vector<ld_script_region>& regions_;
    input_error& error_;
    c_script_lexer lexer_;
    token current_;
    bool fatal_ = false;  // the script cannot be read on (a file, a comment)
    std::map<std::string, std::uint64_t, std::less<>> symbols_;
};
}  // namespace

c_result<std::vector<ld_script_region>> read_ld_script_memory_text(
    const std::string& text, const std::string& name,
    const ld_script_include_reader& include_reader) {
    std::vector<ld_script_region> regions;
    input_error error;
    c_memory_parser parser(include_reader, regions, error);
    if (!parser.run(text, name)) {
        return error;
    }
    if (regions.empty()) {
        return input_error{name, 0, "the script has no MEMORY command with a region"};
    }
    return regions;
}

std::string ld_script_message(const input_error& error) {
    // A place in a script is named as "memory.x line 4"; an error of a whole file as
    // "memory.x: what".
    if (error.line == 0) {
        return located_message(error);
    }
    return error.file + " line " + std::to_string(error.line) + ": " + error.what;
}

}  // namespace tarvel
