// The figures of tarvel's memory report, read back from its text: what the consistency test
// compares the other reports with.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace tarvel::test {

struct report_total {
    std::int64_t total = 0;
    std::int64_t free = 0;
    std::int64_t used = 0;
};

struct report_area_line {
    std::string name;
    std::int64_t used = 0;
    std::int64_t free = 0;
    std::int64_t total = 0;
};

struct report_search_line {
    std::string text;
    std::int64_t bytes = 0;
};

struct memory_report_figures {
    bool found = false;  // the text holds a memory report
    report_total ram;
    report_total rom;
    std::vector<report_area_line> program_areas;
    std::vector<report_search_line> searches;
    std::int64_t accounted = 0;
    std::int64_t ambiguous = 0;  // 0 without the warning
};

namespace detail {
// The number that follows `label` in `line`, after blanks.
inline std::int64_t number_after(const std::string& line, const std::string& label) {
    const std::size_t at = line.find(label);
    return at == std::string::npos ? -999999 : std::stoll(line.substr(at + label.size()));
}
}  // namespace detail

// Reads the report from tarvel's standard output; line ends may be LF or CR LF.
inline memory_report_figures read_memory_report(const std::string& text) {
    memory_report_figures figures;
    std::istringstream lines(text);
    std::string line;
    report_total* total = nullptr;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line == "RAM area: " || line == "ROM area: ") {
            figures.found = true;
            total = line == "RAM area: " ? &figures.ram : &figures.rom;
        } else if (total != nullptr && line.rfind("Total:", 0) == 0) {
            total->total = detail::number_after(line, "Total:");
        } else if (total != nullptr && line.rfind("Free:", 0) == 0) {
            total->free = detail::number_after(line, "Free:");
        } else if (total != nullptr && line.rfind("Used:", 0) == 0) {
            total->used = detail::number_after(line, "Used:");
        } else if (line.rfind("  ", 0) == 0 && line.find(":     Used ") != std::string::npos) {
            total = nullptr;
            report_area_line area;
            area.name = line.substr(2, line.find(":     Used ") - 2);
            area.used = detail::number_after(line, "Used ");
            area.free = detail::number_after(line, ", Free ");
            area.total = detail::number_after(line, ", Total ");
            figures.program_areas.push_back(area);
        } else if (line.find(" , Search = ") != std::string::npos) {
            figures.searches.push_back({line.substr(line.find(" , Search = ") + 12),
                                        std::stoll(line.substr(0, line.find(" : ")))});
        } else if (line.find("\tAccounted for in search: ") != std::string::npos) {
            figures.accounted = std::stoll(line);
        } else if (line.rfind("Warning: Ambiguous search with ", 0) == 0) {
            figures.ambiguous = detail::number_after(line, "Warning: Ambiguous search with ");
        }
    }
    return figures;
}

}  // namespace tarvel::test
