#include "app/report_errors.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/report_run.h"

namespace tarvel {
namespace {

struct failure {
    int exit_code;
    std::string message;
};

failure of(analysis_status status) {
    std::ostringstream err;
    const int code = report_analysis_failure(err, status, "target.def", "app.map");
    return {code, err.str()};
}

// A wrong command line exits 2, an input that cannot be read 3 and names the file at fault;
// a run that read its inputs is no failure here, whatever it found.
TEST(ReportErrors, EachAnalysisStatusHasItsExitCodeAndNamesTheFileAtFault) {
    EXPECT_EQ(of(analysis_status::ok).exit_code, 0);
    EXPECT_EQ(of(analysis_status::ok).message, "");
    EXPECT_EQ(of(analysis_status::nothing_placed).exit_code, 0);
    for (const analysis_status usage :
         {analysis_status::no_definition_name, analysis_status::unsupported_type,
          analysis_status::no_map_areas}) {
        const failure result = of(usage);
        EXPECT_EQ(result.exit_code, report_usage_error);
        EXPECT_EQ(result.message.rfind("tarvel-report: ", 0), 0u) << result.message;
        EXPECT_EQ(result.message.find("app.map"), std::string::npos) << result.message;
    }
    EXPECT_EQ(of(analysis_status::invalid_definition).message,
              "tarvel-report: cannot read the memory definition file, or it defines no area "
              "('target.def')\n");
    EXPECT_EQ(of(analysis_status::invalid_map).message,
              "tarvel-report: cannot read the map file ('app.map')\n");
    for (const analysis_status input :
         {analysis_status::invalid_definition, analysis_status::invalid_definition_and_map,
          analysis_status::invalid_map}) {
        EXPECT_EQ(of(input).exit_code, report_input_error);
    }
}

}  // namespace
}  // namespace tarvel
