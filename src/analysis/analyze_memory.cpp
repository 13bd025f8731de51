#include "analysis/analyze_memory.h"

#include "analysis/memory_report.h"
#include "analysis/search_accounting.h"
#include "mapfile/create_reader.h"
#include "memdef/memory_def.h"

namespace tarvel {

namespace {
memory_counters add_up(const c_memory_def& def, const c_entry_list& program_entries,
                       const c_entry_list& memory_entries, c_search_accounting& accounting) {
    memory_counters counters;
    for (const c_map_entry& entry : memory_entries) {
        (entry.is_bit == 1 ? counters.memory_bits : counters.memory_bytes) += entry.size;
    }
    counters.area_used.assign(def.program.size(), 0);
    for (const c_map_entry& entry : program_entries) {
        counters.program_used += entry.size;
        counters.area_used[entry.index] += entry.size;
        accounting.account(entry);
    }
    return counters;
}
}  // namespace

bool analyze_memory(const std::string& map_file_name, const std::string& def_file_name,
                    const std::string& type, std::ostream& out) {
    if (def_file_name.empty()) {
        out << "Tarvel:\tNo map def. file name." << std::endl;
        return false;
    }
    if (map_file_name.empty()) {
        out << "Tarvel:\tNo map file name." << std::endl;
        return false;
    }
    search_list searches;
    c_memory_def def;
    def.loaded = def.load(def_file_name, searches);

    const std::unique_ptr<c_map_file> reader = create_reader(type, map_file_name);
    if (!reader) {
        out << "Tarvel:\tMap definition file type is not supported." << std::endl;
        return false;
    }
    if (!def.loaded) {
        out << "Tarvel:\tInvalid memory definition file." << std::endl;
        if (!reader->is_open()) {
            out << "Tarvel:\tInvalid memory map file." << std::endl;
        }
        return false;
    }
    if (!reader->is_open()) {
        out << "Tarvel:\tInvalid memory map file." << std::endl;
        return false;
    }

    c_entry_list program_entries;
    c_entry_list memory_entries;
    if (!reader->parse(def, program_entries, memory_entries)) {
        return true;  // nothing lies in a defined area: no report, and no failure either
    }
    c_search_accounting accounting(searches);
    const memory_counters counters = add_up(def, program_entries, memory_entries, accounting);
    print_memory_report(out, def, counters, searches, accounting, map_file_name);
    return true;
}

}  // namespace tarvel
