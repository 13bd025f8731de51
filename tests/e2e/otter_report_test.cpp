// End-to-end test of image-summary maps: the bundled example gives the exact report and
// ambiguity file. Its ROM figure is the sum of the program sections of the Image Summary
// (12772) and its RAM figure that of the RAM sections without the heap (3492), as the map's
// own totals state; the module pieces of ".text" are entries of one name, so a search counts
// the first and reports the others as ambiguous.
#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

const std::string example_report =
    report_head +
    "RAM area: \n"
    "Total:    65536\n"
    "Pct Used:   5.3%\n"
    "Free:     62044\n"
    "Used:     3492\n"
    "\n"
    "ROM area: \n"
    "Total:    262144\n"
    "Pct Used:   4.9%\n"
    "Free:     249372\n"
    "Used:     12772\n"
    "\n"
    "\n"
    "  Prg seg0:     Used       12772, Free      249372, Total     262144, Pct Used:   4.9%\n"
    "\n"
    "Program breakdown:\n"
    "296 : 2% , Search = text \n"
    "1892 : 15% , Search = |rodata |data_init |INTTBL \n"
    "---------------------------------------\n"
    "2188\tAccounted for in search: 17%\n"
    "\n"
    "Warning: Ambiguous search with 10584 = 83% found and removed from multiple counting. See "
    "ambiguous search result file in otter/Tarvel.amb.\n"
    "\n";

const std::string example_ambiguities =
    ".text: Found in [ text ] and in [ text ]\n"
    ".text: Found in [ text ] and in [ text ]\n"
    ".text: Found in [ text ] and in [ text ]\n"
    ".text: Found in [ text ] and in [ text ]\n"
    ".text: Found in [ text ] and in [ text ]\n"
    ".data_init: Found in [ |rodata |data_init |INTTBL ] and in [ |rodata |data_init |INTTBL ]\n";

TEST(OtterRun, BundledExampleGivesTheKnownReportAndAmbiguityFile) {
    expect_bundled_example_report("Otter", "otter", example_report, example_ambiguities);
}

}  // namespace
}  // namespace tarvel::test
