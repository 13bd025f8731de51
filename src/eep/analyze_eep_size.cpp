#include "eep/analyze_eep_size.h"

#include <cstdint>
#include <string>

#include "analysis/pct_format.h"
#include "eep/eep_file.h"

namespace tarvel {

namespace {
// One block of the report. Sums wrap modulo 2^32 like the sizes they are made of.
struct eep_block {
    std::uint32_t total;
    std::uint32_t used;
    std::uint32_t free;
    double percent;
};

// Numbers go through to_string so the report does not depend on the state of `out`.
void print_block(std::ostream& out, const eep_block& block, const char* used_label) {
    out << " Total:     " << std::to_string(block.total) << std::endl;
    out << format_pct_used(block.percent) << std::endl;
    out << used_label << std::to_string(block.used) << std::endl;
    out << " Free:      " << std::to_string(block.free) << std::endl;
}

void print_eep_report(std::ostream& out, const eep_data_sizes& sizes) {
    const std::uint32_t once_size = sizes.once_data_size;
    const std::uint32_t once_free = sizes.once_data_free;
    // Triple data is stored three times; the file states one copy.
    const std::uint32_t triple_size = 3u * sizes.triple_data_size;
    const std::uint32_t triple_free = 3u * sizes.triple_data_free;

    const std::uint32_t all_used = once_size + triple_size;
    const std::uint32_t all_free = once_free + triple_free;
    const std::uint32_t all_total = all_used + all_free;
    const std::uint32_t once_total = once_size + once_free;
    const std::uint32_t triple_total = triple_size + triple_free;
    // The triple share is taken from one copy; it equals the share of the three copies unless
    // the tripled figures wrapped around.
    const std::uint32_t triple_copy_total = sizes.triple_data_size + sizes.triple_data_free;

    const eep_block all{all_total, all_used, all_free, percent_of(all_used, all_total)};
    const eep_block once{once_total, once_size, once_free, percent_of(once_size, once_total)};
    const eep_block triple{triple_total, triple_size, triple_free,
                           percent_of(sizes.triple_data_size, triple_copy_total)};

    out << std::endl;
    out << "EEP size analyze: " << std::endl;
    out << std::endl;
    print_block(out, all, " used:      ");
    out << std::endl;
    out << "Once Data: " << std::endl;
    print_block(out, once, " Used:      ");
    out << std::endl;
    out << "Triple Data:" << std::endl;
    print_block(out, triple, " Used:      ");
    out << std::endl;
}
}  // namespace

bool analyze_eep_size(const std::string& eep_file_name, std::ostream& out) {
    if (eep_file_name.empty()) {
        out << "Tarvel:\tNo eep file name." << std::endl;
        return false;
    }
    c_eep_file file(eep_file_name);
    if (!file.is_open()) {
        out << "Tarvel:\tInvalid eep file." << std::endl;
        return false;
    }
    eep_data_sizes sizes;
    if (!file.read_sizes(sizes, out)) {
        out << "error in the analyze EEP size: " << std::endl;
        return false;
    }
    print_eep_report(out, sizes);
    return true;
}

}  // namespace tarvel
