#include "analysis/memory_report.h"

#include <iomanip>

#include "analysis/ambiguity_file.h"
#include "analysis/pct_format.h"

namespace tarvel {

namespace {
void print_totals(std::ostream& out, const char* title, std::uint32_t total, double used,
                  double percent) {
    out << title << std::endl;
    out << "Total:    " << total << std::endl;
    out << format_pct_used(percent) << std::endl;
    out << "Free:     " << static_cast<double>(total) - used << std::endl;
    out << "Used:     " << used << std::endl;
}

void print_areas(std::ostream& out, const c_memory_def& def, const memory_counters& counters) {
    for (std::size_t i = 0; i < def.program.size(); ++i) {
        const std::uint32_t size = def.program_area(i).size;
        const std::uint32_t used = counters.area_used[i];
        const std::int64_t free = std::int64_t{size} - std::int64_t{used};
        out << "  Prg seg" << i << ":   "
            << "  Used  " << std::setw(10) << used << ", Free  " << std::setw(10) << free
            << ", Total " << std::setw(10) << size << ", "
            << format_pct_used(percent_of(used, size)) << std::endl;
    }
}

void print_breakdown(std::ostream& out, const search_list& searches,
                     const c_search_accounting& accounting, std::uint32_t rom_used,
                     const std::string& map_file_name) {
    out << "Program breakdown:" << std::endl;
    std::uint32_t accounted = 0;
    std::size_t position = 0;
    for (const search_def& search : searches) {
        out << search.total << " : " << percent_of(search.total, rom_used) << "%"
            << " , Search = " << accounting.search_text(position++) << std::endl;
        accounted += search.total;
    }
    out << "---------------------------------------" << std::endl;
    out << accounted << "\tAccounted for in search: " << percent_of(accounted, rom_used) << "%"
        << std::endl;
    out << std::endl;
    if (accounting.ambiguities().empty()) {
        return;
    }
    const std::string path = ambiguity_file_path(map_file_name);
    write_ambiguity_file(path, accounting);
    const std::uint32_t ambiguous = accounting.ambiguous_bytes();
    out << "Warning: Ambiguous search with " << ambiguous << " = "
        << percent_of(ambiguous, rom_used)
        << "% found and removed from multiple counting. See ambiguous search result file in "
        << path << "." << std::endl;
    out << std::endl;
}
}  // namespace

void print_memory_report(std::ostream& out, const c_memory_def& def,
                         const memory_counters& counters, const search_list& searches,
                         const c_search_accounting& accounting, const std::string& map_file_name) {
    const std::ios::fmtflags saved_flags = out.flags();
    const std::streamsize saved_precision = out.precision();
    out.setf(std::ios::right, std::ios::adjustfield);
    out.setf(std::ios::fixed, std::ios::floatfield);
    out.precision(0);

    out << "************************************" << std::endl;
    out << "*       Tarvel Memory Report       *" << std::endl;
    out << "*       In [Byte]                  *" << std::endl;
    out << "************************************" << std::endl;
    out << std::endl;

    const std::uint32_t ram_total = c_memory_def::total_size(def.memory);
    const double ram_used = counters.memory_bytes + counters.memory_bits * 0.125;
    // Bits count to the nearest whole byte, halves up, for the percentage.
    const std::uint32_t ram_rounded = counters.memory_bytes + (counters.memory_bits + 4u) / 8u;
    print_totals(out, "RAM area: ", ram_total, ram_used, percent_of(ram_rounded, ram_total));
    out << std::endl;

    const std::uint32_t rom_total = c_memory_def::total_size(def.program);
    const double rom_used = counters.program_used;
    print_totals(out, "ROM area: ", rom_total, rom_used, percent_of(rom_used, rom_total));
    out << std::endl;
    out << std::endl;

    print_areas(out, def, counters);
    out << std::endl;

    if (!searches.empty()) {
        print_breakdown(out, searches, accounting, counters.program_used, map_file_name);
    }

    out.flags(saved_flags);
    out.precision(saved_precision);
}

}  // namespace tarvel
