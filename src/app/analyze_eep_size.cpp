#include "app/analyze_eep_size.h"

#include "analysis/eep_usage.h"
#include "app/run_errors.h"
#include "report/eep_report.h"

namespace tarvel {

bool analyze_eep_size(const std::string& eep_file_name, std::ostream& out) {
    const c_result<eep_usage, eep_problem> usage = read_eep_usage(eep_file_name, out);
    if (!usage) {
        print_eep_failure(out, usage.error());
        return false;
    }
    render_eep_report(out, *usage);
    return true;
}

}  // namespace tarvel
