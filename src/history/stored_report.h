// A JSON report of tarvel-report as the history keeps it: the summary (everything but the
// entry list) and the entry list apart, so that old builds can lose their entries and keep the
// rest, and the figures that lists and trends read without parsing a report again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/input_result.h"

namespace tarvel {

struct stored_area {
    std::string name;
    std::string kind;  // "program", "ram", "eeprom"
    std::int64_t size = 0;
    std::int64_t used = 0;
};

struct stored_report {
    // The report with its member "entries" emptied to "[]", which begins at `entries_at`.
    std::string summary;
    std::size_t entries_at = 0;
    std::string entries;  // the entry list's text, "[" to "]", as the report wrote it
    std::size_t entry_count = 0;
    std::int64_t ram_used = 0;
    std::int64_t ram_total = 0;
    std::int64_t rom_used = 0;
    std::int64_t rom_total = 0;
    std::vector<stored_area> areas;
};

// Checks that the text is a tarvel-usage report this program reads (the same reader a diff's
// base goes through) and takes it apart. An error whose `what` follows the report's name ("is
// not valid JSON (at byte 12: ...)") when it is not.
c_result<stored_report> store_report(const std::string& text);

// The report again, byte for byte as it was stored; with an empty entry list when the entries
// were pruned (`entries` empty).
std::string join_report(const std::string& summary, std::size_t entries_at,
                        const std::string& entries);

}  // namespace tarvel
