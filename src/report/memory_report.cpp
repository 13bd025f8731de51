#include "report/memory_report.h"

#include <iomanip>

#include "report/pct_format.h"

namespace tarvel {

namespace {
// Restores a stream's format state when the report is done with it.
class c_format_guard {
  public:
    explicit c_format_guard(std::ostream& out)
        : out_(out), flags_(out.flags()), precision_(out.precision()) {}
    ~c_format_guard() {
        out_.flags(flags_);
        out_.precision(precision_);
    }
    c_format_guard(const c_format_guard&) = delete;
    c_format_guard& operator=(const c_format_guard&) = delete;

  private:
    std::ostream& out_;
    std::ios::fmtflags flags_;
    std::streamsize precision_;
};

void print_totals(std::ostream& out, const char* title, const memory_total& total) {
    out << title << std::endl;
    out << "Total:    " << total.total << std::endl;
    out << format_pct_used(total.used_percent()) << std::endl;
    out << "Free:     " << total.free() << std::endl;
    out << "Used:     " << total.used() << std::endl;
}

void print_breakdown(std::ostream& out, const usage_model& model,
                     const std::string* ambiguity_file) {
    const std::uint32_t rom_used = model.rom.used_bytes;
    out << "Program breakdown:" << std::endl;
    for (const search_usage& search : model.searches) {
        out << search.bytes << " : " << percent_of(search.bytes, rom_used) << "%"
            << " , Search = " << search.text << std::endl;
    }
    out << "---------------------------------------" << std::endl;
    out << model.accounted << "\tAccounted for in search: " << percent_of(model.accounted, rom_used)
        << "%" << std::endl;
    out << std::endl;
    if (model.ambiguity_count() == 0) {
        return;
    }
    const std::uint32_t ambiguous = model.ambiguous_bytes();
    out << "Warning: Ambiguous search with " << ambiguous << " = "
        << percent_of(ambiguous, rom_used) << "% found and removed from multiple counting.";
    if (ambiguity_file != nullptr) {
        out << " See ambiguous search result file in " << *ambiguity_file << ".";
    }
    out << std::endl;
    out << std::endl;
}
}  // namespace

void render_area_line(std::ostream& out, const area_usage& area) {
    const c_format_guard guard(out);
    out.setf(std::ios::right, std::ios::adjustfield);
    out << "  " << area.name << ":   "
        << "  Used  " << std::setw(10) << area.used_rounded() << ", Free  " << std::setw(10)
        << area.free() << ", Total " << std::setw(10) << area.size << ", "
        << format_pct_used(area.used_percent());
    if (area.shows_overflow && area.over() > 0) {
        out << ", over by " << area.over() << " bytes";
    }
    out << std::endl;
}

void render_memory_report(std::ostream& out, const usage_model& model,
                          const std::string* ambiguity_file) {
    const c_format_guard guard(out);
    out.setf(std::ios::right, std::ios::adjustfield);
    out.setf(std::ios::fixed, std::ios::floatfield);
    out.precision(0);

    out << "************************************" << std::endl;
    out << "*       Tarvel Memory Report       *" << std::endl;
    out << "*       In [Byte]                  *" << std::endl;
    out << "************************************" << std::endl;
    out << std::endl;

    print_totals(out, "RAM area: ", model.ram);
    out << std::endl;
    print_totals(out, "ROM area: ", model.rom);
    out << std::endl;
    out << std::endl;

    for (std::size_t i = 0; i < model.first_ram_area(); ++i) {
        render_area_line(out, model.areas[i]);
    }
    out << std::endl;

    if (!model.searches.empty()) {
        print_breakdown(out, model, ambiguity_file);
    }
}

}  // namespace tarvel
