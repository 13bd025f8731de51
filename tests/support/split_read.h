// Everything one parse of a map gives, as text: for tests that compare a map read whole by one
// thread with the same map read in two parts split at every line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mapfile/entry_list.h"
#include "mapfile/gnu_elf_witness.h"
#include "mapfile/map_file.h"
#include "memdef/memory_def.h"
#include "text/text_source.h"

namespace tarvel::test {

inline std::string origin_text(const c_map_file& reader, std::uint32_t origin) {
    if (origin == no_origin) {
        return "-";
    }
    return reader.origins().at(origin).archive + "|" + reader.origins().at(origin).object;
}

inline std::string entry_text(const c_map_file& reader, const c_map_entry& entry) {
    return std::string(entry.name) + " @" + std::to_string(entry.address) + " +" +
           std::to_string(entry.size) + "/" + std::to_string(entry.uncounted) + " in " +
           std::to_string(entry.index) + (entry.is_bit == 1 ? " bits" : "") + " from " +
           origin_text(reader, entry.origin) + "\n";
}

// The entries of both lists (in their order, or their sums), the unplaced entries, the origins
// in their order and the reader's counts, of one parse of `map` with `policy`; with
// `elf_sections`, what a witness of those ELF sections said too.
template <typename Reader>
std::string everything_read(const std::string& map, const c_memory_def& def,
                            const split_policy& policy, bool sums_only,
                            const std::vector<elf::section_header>* elf_sections = nullptr) {
    Reader reader(text_source::text(map, "a.map"));
    reader.set_split_policy(policy);
    std::optional<gnu::c_elf_witness> witness;
    if (elf_sections != nullptr) {
        witness.emplace(*elf_sections);
        reader.set_elf_witness(&*witness);
    }
    c_entry_list program;
    c_entry_list memory;
    if (sums_only) {
        program.keep_sums_only();
        memory.keep_sums_only();
    }
    const c_result<parsed_map> parsed = reader.parse(def, program, memory);
    std::string text = parsed ? (parsed->placed_any ? "placed\n" : "nothing placed\n") : "error\n";
    for (const c_entry_list* list : {&program, &memory}) {
        text += list == &program ? "program " : "memory ";
        text += std::to_string(list->size()) + "\n";
        if (sums_only) {
            list->for_each_unordered(
                [&](const c_map_entry& entry) { text += entry_text(reader, entry); });
        } else {
            for (const c_map_entry& entry : *list) {
                text += entry_text(reader, entry);
            }
        }
    }
    text += "unplaced\n";
    for (const c_map_entry& entry : reader.unplaced()) {
        text += entry_text(reader, entry);
    }
    text += "origins\n";
    for (std::uint32_t i = 0; i < reader.origins().size(); ++i) {
        text += origin_text(reader, i) + "\n";
    }
    const reader_counts counts = reader.counts();
    text += "lines " + std::to_string(counts.lines_read) + ", recognised " +
            std::to_string(counts.recognised) + ", placed " + std::to_string(counts.placed) +
            ", unplaced " + std::to_string(counts.unplaced) + "\n";
    for (const drop_count& dropped : counts.dropped) {
        text += "dropped " + dropped.rule + ": " + std::to_string(dropped.count) + "\n";
    }
    text += "damaged " + std::to_string(counts.damaged_lines) + ", first " +
            std::to_string(counts.first_damaged_line) + " " + counts.first_damage + "\n";
    if (witness) {
        witness->finish();
        for (const std::string& warning : witness->warnings()) {
            text += "warning: " + warning + "\n";
        }
        text += "disagreement: " + witness->disagreement() + "\n";
    }
    return text;
}

// A policy that reads every map whole, and one that splits it at the first line after `from`
// where the reader can, however small the map.
inline split_policy read_whole() {
    return {UINT64_MAX, 0};
}
inline split_policy split_after(std::uint64_t from) {
    return {0, from};
}

}  // namespace tarvel::test
