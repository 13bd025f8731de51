#include <iostream>
#include <memory_resource>

#include "app/report_run.h"
#include "platform/platform.h"
#ifdef TARVEL_WITH_HISTORY
#include "app/history_record.h"
#endif

int main(int argc, char** argv) {
    // The large blocks of a big map's entries and names come from the platform's resource.
    std::pmr::set_default_resource(tarvel::platform::large_block_resource());
#ifdef TARVEL_WITH_HISTORY
    const tarvel::report_recorder recorder = [](const tarvel::record_request& request,
                                                const std::string& json, std::ostream& err) {
        return tarvel::record_build(request, json, "the JSON report of this run", err,
                                    "tarvel-report: ");
    };
    return tarvel::run_report(argc, argv, std::cout, std::cerr, recorder);
#else
    return tarvel::run_report(argc, argv, std::cout, std::cerr);
#endif
}
