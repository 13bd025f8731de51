#include "mapfile/detect_format.h"

#include <memory>
#include <string_view>
#include <vector>

#include "mapfile/foreign_maps.h"
#include "mapfile/map_formats.h"
#include "text/text_file.h"

namespace tarvel {

namespace {
std::string looked_for_text(std::size_t line_limit) {
    return map_format_descriptions() + ", in the first " + std::to_string(line_limit) + " lines";
}
}  // namespace

detected_format detect_format(const text_source& map, std::size_t line_limit) {
    detected_format result;
    result.looked_for = looked_for_text(line_limit);
    c_text_file file(map);
    if (!file.is_open()) {
        return result;
    }
    const std::span<const map_format> formats = map_formats();
    std::vector<std::unique_ptr<c_format_evidence>> evidence;
    evidence.reserve(formats.size());
    for (const map_format& format : formats) {
        evidence.push_back(format.evidence());
    }
    std::string_view line;
    for (std::size_t number = 1; number <= line_limit && file.next(line); ++number) {
        for (std::size_t i = 0; i < formats.size(); ++i) {
            if (evidence[i]->proves(number, line)) {
                result.keyword = formats[i].keyword;
                return result;
            }
        }
        if (number <= foreign_banner_lines) {
            const std::string_view linker = foreign_linker_of(line);
            if (!linker.empty()) {
                result.foreign_linker = linker;
                return result;
            }
        }
    }
    int best = 0;
    for (std::size_t i = 0; i < formats.size(); ++i) {
        const int strength = evidence[i]->strength();
        if (strength > best) {
            best = strength;
            result.keyword = formats[i].keyword;
        }
    }
    return result;
}

}  // namespace tarvel
