#include "mapfile/map_file_elxr.h"

#include <map>
#include <memory>

#include "mapfile/section_map_evidence.h"
#include "text/hex_number.h"

namespace tarvel {

const std::vector<std::string>& c_map_file_elxr::section_names() const {
    static const std::vector<std::string> names{
        "appinfo",        "bss",          "cfginfo",     "data",
        "DFALib_TextRam", "DFALib_Text",  "EEELib_Text", "fblflashblocks",
        "fixaddr",        "fixtype",      "intvect",     "noclrdatanvmflashblocks",
        "osstackbss",     "osstackdata",  "osstacksbss", "osstacksdata",
        "osstacktata",    "osstackzdata", "osstackzbss", "pblflashblocks",
        "robase",         "rodata",       "romdata",     "romsdata",
        "romtdata",       "romzdata",     "rosdata",     "rozdata",
        "sbss",           "sdabase",      "sdata",       "secinfo",
        "sharedata",      "stack",        "sldata",      "syscall",
        "tdata",          "text",         "zbss",        "zdata"};
    return names;
}

const c_section_line_matcher& c_map_file_elxr::line_regex() const {
    // One matcher per name list, built on first use and kept for the rest of the process, so
    // that a variant with its own names gets its own matcher.
    static std::map<const std::vector<std::string>*, std::unique_ptr<c_section_name_list_matcher>>
        matchers;
    const std::vector<std::string>& names = section_names();
    auto& matcher = matchers[&names];
    if (!matcher) {
        matcher = std::make_unique<c_section_name_list_matcher>(names);
    }
    return *matcher;
}

bool c_map_file_elxr::read_line(std::string_view& line) {
    while (next_line(line)) {
        if (!line.empty()) {
            return true;
        }
    }
    close();
    return false;
}

const char* c_map_file_elxr::drop_rule(std::string_view name, std::string_view attributes) {
    if (name.find("debug") != std::string_view::npos ||
        attributes.find("DEBUGGING") != std::string_view::npos) {
        return "debugging section";
    }
    if (name == "heap" || name == "linfix" || name == "gstackfix" || name == "note.renesas") {
        return "not part of the program image";
    }
    return nullptr;
}

c_result<parsed_map> c_map_file_elxr::parse(const c_memory_def& def, c_entry_list& program_entries,
                                            c_entry_list& memory_entries) {
    if (!is_open_) {
        return not_open();
    }
    const c_section_line_matcher& matcher = line_regex();
    const std::uint32_t mask = address_mask();
    std::vector<c_map_entry> sections;
    std::string_view line;
    section_line_fields fields;
    while (read_line(line)) {
        if (!matcher.match(line, fields)) {
            continue;
        }
        // The fields point into the line buffer: take them before the next line is read.
        c_map_entry entry;
        entry.name = keep_name(fields.name);
        entry.size = hex_digits_to_u32(fields.size);
        entry.address = hex_digits_to_u32(fields.address) & mask;
        std::string_view attributes;
        if (!read_line(attributes)) {
            break;
        }
        count_recognised();
        if (const char* rule = drop_rule(entry.name, attributes); rule != nullptr) {
            count_dropped(rule);
        } else {
            sections.push_back(std::move(entry));
        }
    }
    // Entries that the format's post-processing adds were recognised too.
    const std::size_t read = sections.size();
    post_process(sections);
    for (std::size_t i = read; i < sections.size(); ++i) {
        count_recognised();
    }
    for (auto& entry : sections) {
        place_entry(std::move(entry), def, program_entries, memory_entries);
    }
    return placed_in(program_entries, memory_entries);
}

// The fallback of the section-map formats: section lines with attribute lines, whatever their
// names, where no sign of a variant shows.
std::unique_ptr<c_format_evidence> c_map_file_elxr::evidence() {
    return std::make_unique<c_section_table_evidence>(
        1, [](std::string_view, const section_line_fields&) { return true; });
}

}  // namespace tarvel
