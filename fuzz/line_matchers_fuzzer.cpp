// Fuzz target: the hand-written line matchers of the section-map readers and of the Wren
// symbol lines against the ECMAScript patterns they stand for. Every input line must get the
// same decision and the same fields from both.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "mapfile/map_file_elxr.h"
#include "mapfile/map_file_elxr_ibex.h"
#include "mapfile/map_file_elxr_mem32_unlimited.h"
#include "mapfile/map_file_elxr_wren.h"

namespace {
// libstdc++'s regex engine recurses once per character; lines this short keep the oracle far
// from the stack limit (long lines are the readers' unit and end-to-end tests' business).
constexpr std::size_t longest_line = 400;

struct section_oracle {
    const tarvel::c_section_line_matcher* matcher;
    std::regex pattern;
};

const std::vector<section_oracle>& section_oracles() {
    static const std::vector<section_oracle> oracles = [] {
        // Readers with no text: only their matchers are used.
        static const tarvel::c_map_file_elxr puma(tarvel::text_source{});
        static const tarvel::c_map_file_elxr_ibex ibex(tarvel::text_source{});
        static const tarvel::c_map_file_elxr_wren wren(tarvel::text_source{});
        static const tarvel::c_map_file_elxr_mem32_unlimited mem32(tarvel::text_source{});
        std::vector<section_oracle> list;
        for (const tarvel::c_map_file_elxr* reader :
             std::initializer_list<const tarvel::c_map_file_elxr*>{&puma, &ibex, &wren, &mem32}) {
            const tarvel::c_section_line_matcher& matcher = reader->line_regex();
            list.push_back({&matcher, std::regex(matcher.pattern_text(), std::regex::ECMAScript)});
        }
        return list;
    }();
    return oracles;
}

const std::regex& symbol_oracle(std::string_view symbol) {
    static const std::regex begin(
        tarvel::c_map_file_elxr_wren::symbol_pattern_text("__stack_begin"), std::regex::ECMAScript);
    static const std::regex end(tarvel::c_map_file_elxr_wren::symbol_pattern_text("__stack_end"),
                                std::regex::ECMAScript);
    return symbol == "__stack_begin" ? begin : end;
}

void check_line(const std::string& line) {
    std::smatch groups;
    for (const section_oracle& oracle : section_oracles()) {
        tarvel::section_line_fields fields;
        const bool matched = oracle.matcher->match(line, fields);
        if (matched != std::regex_match(line, groups, oracle.pattern)) {
            std::abort();
        }
        if (matched && (fields.name != groups[2].str() || fields.size != groups[3].str() ||
                        fields.address != groups[4].str())) {
            std::abort();
        }
    }
    for (const std::string_view symbol : {"__stack_begin", "__stack_end"}) {
        std::string_view address;
        const bool matched = tarvel::c_map_file_elxr_wren::match_symbol_line(line, symbol, address);
        if (matched != std::regex_match(line, groups, symbol_oracle(symbol))) {
            std::abort();
        }
        if (matched && address != groups[1].str()) {
            std::abort();
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The readers hand the matchers lines without their LF; a CR, a NUL or any other byte may
    // stand inside a line.
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(begin, end - begin);
        if (line.size() <= longest_line) {
            check_line(std::string(line));
        }
        begin = end + 1;
    }
    return 0;
}
