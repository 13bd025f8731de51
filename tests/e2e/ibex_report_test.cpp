// End-to-end test of Ibex section maps: the bundled example gives the exact report and
// ambiguity file, the initialised-data image ".data, initialized" being a section of its own.
#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

const std::string example_report =
    report_head +
    "RAM area: \n"
    "Total:    12000\n"
    "Pct Used:  84.9%\n"
    "Free:     1812\n"
    "Used:     10188\n"
    "\n"
    "ROM area: \n"
    "Total:    229376\n"
    "Pct Used:  70.0%\n"
    "Free:     68918\n"
    "Used:     160458\n"
    "\n"
    "\n"
    "  Prg seg0:     Used      129610, Free       66998, Total     196608, Pct Used:  65.9%\n"
    "  Prg seg1:     Used       30848, Free        1920, Total      32768, Pct Used:  94.1%\n"
    "\n"
    "Program breakdown:\n"
    "110502 : 69% , Search = |text |ISR |STARTUPFUNC \n"
    "17352 : 11% , Search = |const |data \n"
    "576 : 0% , Search = init \n"
    "156 : 0% , Search = |vector |Opt |CfgId \n"
    "28160 : 18% , Search = |PBL |Reserved \n"
    "---------------------------------------\n"
    "156746\tAccounted for in search: 98%\n"
    "\n"
    "Warning: Ambiguous search with 4904 = 3% found and removed from multiple counting. See "
    "ambiguous search result file in ibex/Tarvel.amb.\n"
    "\n";

const std::string example_ambiguities =
    ".data, initialized: Found in [ init ] and in [ |const |data ]\n"
    ".text: Found in [ |text |ISR |STARTUPFUNC ] and in [ |text |ISR |STARTUPFUNC ]\n";

TEST(IbexRun, BundledExampleGivesTheKnownReportAndAmbiguityFile) {
    expect_bundled_example_report("Ibex", "ibex", example_report, example_ambiguities);
}

}  // namespace
}  // namespace tarvel::test
