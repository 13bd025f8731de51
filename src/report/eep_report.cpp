#include "report/eep_report.h"

#include <string>

#include "report/pct_format.h"

namespace tarvel {

namespace {
// Numbers go through to_string so the report does not depend on the state of `out`.
void print_block(std::ostream& out, const eep_block& block, const char* used_label) {
    out << " Total:     " << std::to_string(block.total) << std::endl;
    out << format_pct_used(block.percent) << std::endl;
    out << used_label << std::to_string(block.used) << std::endl;
    out << " Free:      " << std::to_string(block.free) << std::endl;
}
}  // namespace

void render_eep_report(std::ostream& out, const eep_usage& usage) {
    out << std::endl;
    out << "EEP size analyze: " << std::endl;
    out << std::endl;
    print_block(out, usage.all, " used:      ");
    out << std::endl;
    out << "Once Data: " << std::endl;
    print_block(out, usage.once, " Used:      ");
    out << std::endl;
    out << "Triple Data:" << std::endl;
    print_block(out, usage.triple, " Used:      ");
    out << std::endl;
}

}  // namespace tarvel
