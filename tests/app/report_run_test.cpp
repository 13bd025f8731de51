// tarvel-report's run in this process, where standard output can be made to fail.
#include "app/report_run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

namespace tarvel {
namespace {

// A stream buffer that takes nothing, as a full disk or a closed pipe does.
class c_refusing_buffer : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

int run(std::ostream& out, std::ostream& err, const std::vector<std::string>& more = {}) {
    const std::string examples = std::string(TARVEL_SOURCE_DIR) + "/examples/puma/";
    std::vector<std::string> words{"tarvel-report",
                                   "--type",
                                   "Puma",
                                   "--def",
                                   examples + "target.def",
                                   "--map",
                                   examples + "application.map"};
    words.insert(words.end(), more.begin(), more.end());
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    return run_report(static_cast<int>(argv.size()), argv.data(), out, err);
}

TEST(ReportRun, AReportThatCannotBeWrittenToStandardOutputIs3) {
    c_refusing_buffer refusing;
    std::ostream out(&refusing);
    std::ostringstream err;
    EXPECT_EQ(run(out, err), report_input_error);
    EXPECT_EQ(err.str(), "tarvel-report: cannot write the report to standard output\n");
    // The same for every format, and before a budget is looked at.
    std::ostream json_out(&refusing);
    std::ostringstream json_err;
    EXPECT_EQ(run(json_out, json_err, {"--format", "json", "--max", "ROM=1"}), report_input_error);
    EXPECT_EQ(json_err.str(), "tarvel-report: cannot write the report to standard output\n");
}

TEST(ReportRun, AWrittenReportEndsWithItsExitCode) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(run(out, err), report_success);
    EXPECT_EQ(err.str(), "");
    EXPECT_NE(out.str().find("  Prg seg0:     Used      233196, Free      291092, Total     "
                             "524288, Pct Used:  44.5%\n"),
              std::string::npos);
    std::ostringstream budget_out;
    std::ostringstream budget_err;
    EXPECT_EQ(run(budget_out, budget_err, {"--max", "ROM=1"}), report_budget_exceeded);
    EXPECT_EQ(budget_err.str(),
              "tarvel-report: budget exceeded: ROM <= 1, but used 317804 bytes\n");
}

}  // namespace
}  // namespace tarvel
