// What the report_run target checks in the outputs of a run: the JSON report's required
// members (those docs/usage.schema.json requires), the CSV's records against the report's
// entries and areas, the HTML page's escaping, and the totals that Markdown and text print.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel::fuzz {

using nlohmann::json;

inline bool has_keys(const json& object, std::initializer_list<const char*> keys) {
    if (!object.is_object()) {
        return false;
    }
    for (const char* key : keys) {
        if (!object.contains(key)) {
            return false;
        }
    }
    return true;
}

inline bool all_have_keys(const json& list, std::initializer_list<const char*> keys) {
    if (!list.is_array()) {
        return false;
    }
    for (const json& item : list) {
        if (!has_keys(item, keys)) {
            return false;
        }
    }
    return true;
}

inline bool has_required_keys(const json& report) {
    return has_keys(report,
                    {"format", "version", "generator", "input", "reader", "ram", "rom", "areas",
                     "searches", "accounted", "ambiguous", "entries", "unplaced"}) &&
           has_keys(report["ram"], {"total", "used", "free", "used_percent", "bits"}) &&
           has_keys(report["rom"], {"total", "used", "free", "used_percent"}) &&
           all_have_keys(report["areas"], {"name", "kind", "start", "size", "used", "free",
                                           "used_percent", "bits", "entries"}) &&
           all_have_keys(report["searches"], {"search", "bytes", "percent"}) &&
           all_have_keys(report["entries"], {"name", "address", "size", "area", "search"}) &&
           all_have_keys(report["unplaced"], {"name", "address", "size"});
}

// The records of a CSV text, RFC 4180: a quoted field may hold commas, line ends and doubled
// quotes. None when a quoted field runs to the end or the text does not end with a line end.
using csv_table = std::optional<std::vector<std::vector<std::string>>>;
inline csv_table parse_csv(std::string_view text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            records.back().back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == ',') {
            records.back().emplace_back();
        } else if (!quoted && c == '\n') {
            records.emplace_back(1);
        } else {
            records.back().back() += c;
        }
    }
    if (quoted || records.back() != std::vector<std::string>(1)) {
        return std::nullopt;
    }
    records.pop_back();
    return records;
}

// One record per entry with the report's address, size and unit, eight fields each; and the
// entries' sizes add up (modulo 2^32, bits apart) to each area's used bytes and bits.
inline bool csv_matches_report(const csv_table& csv, const json& report) {
    const json& entries = report["entries"];
    if (!csv || csv->size() != entries.size() + 1) {
        return false;
    }
    struct sums {
        std::uint32_t bytes = 0;
        std::uint32_t bits = 0;
        std::uint64_t count = 0;
    };
    std::map<std::string, sums> by_area;
    for (std::size_t i = 0; i < csv->size(); ++i) {
        const std::vector<std::string>& record = (*csv)[i];
        if (record.size() != 9) {
            return false;
        }
        if (i == 0) {
            continue;  // the header
        }
        // The listed size beside the bytes that count (less where a GNU ld map lists a piece
        // at addresses that another piece holds).
        const json& entry = entries[i - 1];
        const std::uint32_t size = entry["size"].get<std::uint32_t>();
        const std::uint32_t counted = entry.value("counted", size);
        const bool bit = entry.contains("bit");
        char address[16];
        std::snprintf(address, sizeof address, "0x%08X", entry["address"].get<unsigned>());
        if (record[2] != address || record[3] != std::to_string(size) ||
            record[4] != std::to_string(counted) || record[5] != (bit ? "bit" : "byte") ||
            counted > size) {
            return false;
        }
        sums& area = by_area[entry["area"].get<std::string>()];
        (bit ? area.bits : area.bytes) += counted;
        ++area.count;
    }
    std::map<std::string, int> names;
    for (const json& area : report["areas"]) {
        ++names[area["name"].get<std::string>()];
    }
    for (const json& area : report["areas"]) {
        const std::string name = area["name"].get<std::string>();
        if (names[name] > 1) {
            continue;  // regions of one name cannot be told apart by the entries
        }
        const sums found = by_area[name];
        const std::uint32_t used = found.bytes + (found.bits + 4u) / 8u;
        if (area["used"].get<std::uint32_t>() != used ||
            area["bits"].get<std::uint32_t>() != found.bits ||
            area["entries"].get<std::uint64_t>() != found.count) {
            return false;
        }
    }
    return true;
}

// ROM is the sum of the program areas, RAM of the RAM areas with their bits as eighths of a
// byte (both modulo 2^32, as the reports add up).
inline bool totals_add_up(const json& report) {
    std::uint32_t rom = 0;
    std::uint32_t ram_bytes = 0;
    std::uint32_t ram_bits = 0;
    for (const json& area : report["areas"]) {
        const std::uint32_t used = area["used"].get<std::uint32_t>();
        const std::uint32_t bits = area["bits"].get<std::uint32_t>();
        if (area["kind"] == "program") {
            rom += used;
        } else if (area["kind"] == "ram") {
            ram_bytes += used - (bits + 4u) / 8u;
            ram_bits += bits;
        }
    }
    const double ram = static_cast<double>(ram_bytes) + ram_bits * 0.125;
    return report["rom"]["used"].get<std::int64_t>() == rom &&
           report["ram"]["bits"].get<std::uint32_t>() == ram_bits &&
           std::fabs(report["ram"]["used"].get<double>() - ram) <= 0.5;
}

// The text between the page's report element and its end.
inline std::string_view embedded_report(std::string_view page) {
    constexpr std::string_view open = R"(<script type="application/json" id="tarvel-data">)";
    const std::size_t start = page.find(open);
    if (start == std::string_view::npos) {
        std::abort();
    }
    const std::size_t end = page.find("</script>", start);
    return page.substr(start + open.size(), end - start - open.size());
}

inline std::size_t occurrences(std::string_view text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos;
         at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// Text of the input reaches the page escaped: the page has its template's four script
// elements, and outside script and style elements every "<" opens a tag of the page's own.
inline bool page_is_escaped(std::string_view page) {
    if (occurrences(page, "<script") != 4 || occurrences(page, "</script") != 4) {
        return false;
    }
    static const char* const tags[] = {"!DOCTYPE", "!--",    "html", "head",  "meta",    "title",
                                       "style",    "script", "body", "pre",   "section", "h1",
                                       "dl",       "dt",     "dd",   "table", "thead",   "tbody",
                                       "tr",       "th",     "td",   "p",     "main"};
    for (std::size_t at = page.find('<'); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
        std::string_view tag = page.substr(at + 1);
        tag.remove_prefix(tag.starts_with("/") ? 1 : 0);
        tag = tag.substr(0, tag.find_first_of(" >\n"));
        bool known = false;
        for (const char* name : tags) {
            known = known || tag == name;
        }
        if (!known) {
            return false;
        }
        if (tag == "script" || tag == "style") {
            // Skip the element's content: scripts and styles are the page's own.
            const std::size_t end = page.find(tag == "script" ? "</script" : "</style", at);
            if (end == std::string_view::npos) {
                return false;
            }
            at = end;
        }
    }
    return true;
}

// The used bytes of the Markdown summary's "| **ROM** |" or "| **RAM** |" row, when it has one
// (a name's "*" is escaped, so only the totals' rows start so).
inline std::optional<std::int64_t> markdown_total(std::string_view markdown,
                                                  std::string_view name) {
    const std::string row = "| **" + std::string(name) + "** | ";
    const std::size_t at = markdown.find(row);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return std::strtoll(std::string(markdown.substr(at + row.size(), 24)).c_str(), nullptr, 10);
}

// The "Used:" figure of the text report's "RAM area: " or "ROM area: " block.
inline std::optional<double> text_total(std::string_view text, std::string_view title) {
    const std::size_t block = text.find(title);
    const std::size_t at = block == std::string_view::npos ? block : text.find("Used:     ", block);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    return std::strtod(std::string(text.substr(at + 10, 24)).c_str(), nullptr);
}

}  // namespace tarvel::fuzz
