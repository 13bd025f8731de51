// End-to-end test of Wren section maps: the bundled example gives the exact report and
// ambiguity file, with the data image counted as "rodata", ".data" moved into RAM and the
// stack taken from the stack symbols.
#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

const std::string example_report =
    report_head +
    "RAM area: \n"
    "Total:    69632\n"
    "Pct Used:  49.2%\n"
    "Free:     35352\n"
    "Used:     34280\n"
    "\n"
    "ROM area: \n"
    "Total:    532480\n"
    "Pct Used:  57.1%\n"
    "Free:     228560\n"
    "Used:     303920\n"
    "\n"
    "\n"
    "  Prg seg0:     Used      296720, Free      227568, Total     524288, Pct Used:  56.6%\n"
    "  Prg seg1:     Used        7200, Free         992, Total       8192, Pct Used:  87.9%\n"
    "\n"
    "Program breakdown:\n"
    "257448 : 85% , Search = |text |ISR |STARTUPFUNC \n"
    "2488 : 1% , Search = rodata \n"
    "35856 : 12% , Search = |const |data \n"
    "576 : 0% , Search = |vector |OptBy |CfgId \n"
    "7552 : 2% , Search = |PBL |init \n"
    "0 : 0% , Search = stack \n"
    "---------------------------------------\n"
    "303920\tAccounted for in search: 100%\n"
    "\n"
    "Warning: Ambiguous search with 2488 = 1% found and removed from multiple counting. See "
    "ambiguous search result file in wren/Tarvel.amb.\n"
    "\n";

const std::string example_ambiguities = "rodata: Found in [ |const |data ] and in [ rodata ]\n";

TEST(WrenRun, BundledExampleGivesTheKnownReportAndAmbiguityFile) {
    expect_bundled_example_report("Wren", "wren", example_report, example_ambiguities);
}

}  // namespace
}  // namespace tarvel::test
