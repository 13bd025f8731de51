#include "app/analyze_memory.h"

#include "analysis/usage_analysis.h"
#include "app/ambiguity_file.h"
#include "app/run_errors.h"
#include "report/ambiguity_report.h"
#include "report/memory_report.h"

namespace tarvel {

bool analyze_memory(const std::string& map_file_name, const std::string& def_file_name,
                    const std::string& type, std::ostream& out) {
    // The ambiguity file is written while the entries are accounted: a map whose searches
    // overlap can have a million ambiguities, which then need no memory.
    const std::string ambiguity_file = ambiguity_file_path(map_file_name);
    c_ambiguity_file ambiguities(ambiguity_file);
    add_up_options options;
    options.ambiguity_sink = &ambiguities;
    options.list_entries = false;  // the report shows figures only
    usage_model model;
    const analysis_status status =
        analyze_usage({type, def_file_name, map_file_name}, model, options);
    if (status == analysis_status::nothing_placed) {
        return true;  // nothing lies in a defined area: no report, and no failure either
    }
    if (status != analysis_status::ok) {
        print_analysis_failure(out, status);
        return false;
    }
    // The ambiguity file is complete before the report names it. The warning names it even
    // when it could not be written: its error is not told.
    if (model.ambiguity_count() > 0) {
        (void)ambiguities.commit();
    }
    render_memory_report(out, model, &ambiguity_file);
    return true;
}

}  // namespace tarvel
