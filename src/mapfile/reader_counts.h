// What a map reader saw: the figures that tell a user why a map gave no report.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvel {

struct drop_count {
    std::string rule;  // why the entries were left out, in words
    std::uint64_t count = 0;
};

struct reader_counts {
    // Lines of the map read; a reader that reads its map more than once counts its longest
    // pass.
    std::uint64_t lines_read = 0;
    std::uint64_t recognised = 0;     // entries the format's rules recognised
    std::uint64_t placed = 0;         // entries placed in an area of the definition
    std::uint64_t unplaced = 0;       // entries that lie in no area
    std::vector<drop_count> dropped;  // entries left out, by rule, in the order first seen
    // Lines inside a table that are not rows of it: a damaged map, whose figures would lack
    // what those rows held. The first of them, by number and what it should have been.
    std::uint64_t damaged_lines = 0;
    std::uint64_t first_damaged_line = 0;  // 1-based
    std::string first_damage;              // "an Image Summary row"

    void drop(std::string_view rule) {
        for (drop_count& known : dropped) {
            if (known.rule == rule) {
                ++known.count;
                return;
            }
        }
        dropped.push_back({std::string(rule), 1});
    }

    void damaged(std::uint64_t line, std::string_view expected) {
        if (damaged_lines++ == 0) {
            first_damaged_line = line;
            first_damage = expected;
        }
    }

    // Adds what a reader of the lines after these saw, whose line numbers count from the
    // first line after the `lines_before` lines these counts are of.
    void add_later(const reader_counts& later, std::uint64_t lines_before) {
        lines_read = lines_before + later.lines_read;
        recognised += later.recognised;
        placed += later.placed;
        unplaced += later.unplaced;
        for (const drop_count& known : later.dropped) {
            std::size_t at = 0;
            while (at < dropped.size() && dropped[at].rule != known.rule) {
                ++at;
            }
            if (at == dropped.size()) {
                dropped.push_back({known.rule, 0});
            }
            dropped[at].count += known.count;
        }
        if (later.damaged_lines > 0 && damaged_lines == 0) {
            first_damaged_line = lines_before + later.first_damaged_line;
            first_damage = later.first_damage;
        }
        damaged_lines += later.damaged_lines;
    }

    std::uint64_t dropped_total() const {
        std::uint64_t total = 0;
        for (const drop_count& known : dropped) {
            total += known.count;
        }
        return total;
    }
};

}  // namespace tarvel
