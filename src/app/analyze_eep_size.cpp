#include "app/analyze_eep_size.h"

#include "analysis/eep_usage.h"
#include "report/eep_report.h"

namespace tarvel {

bool analyze_eep_size(const std::string& eep_file_name, std::ostream& out) {
    eep_usage usage;
    const eep_status status = read_eep_usage(eep_file_name, usage, out);
    if (status != eep_status::ok) {
        out << eep_failure_message(status) << std::endl;
        return false;
    }
    render_eep_report(out, usage);
    return true;
}

}  // namespace tarvel
