// End-to-end test of image-summary maps: the bundled example gives the exact report and
// ambiguity file. Its ROM figure is the sum of the program sections of the Image Summary
// (12772) and its RAM figure that of the RAM sections without the heap (3492), as the map's
// own totals state. The module pieces of ".text" are entries of one name from different
// modules: each is credited, none is ambiguous.
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
    "10816 : 85% , Search = text \n"
    "1956 : 15% , Search = |rodata |data_init |INTTBL \n"
    "---------------------------------------\n"
    "12772\tAccounted for in search: 100%\n"
    "\n";

TEST(OtterRun, BundledExampleGivesTheKnownReportWithoutAmbiguity) {
    expect_bundled_example_report("Otter", "otter", example_report, "");
}

}  // namespace
}  // namespace tarvel::test
