// End-to-end test of GNU ld maps: the bundled example, a map that arm-none-eabi-ld wrote for
// the program in examples/gnu/src, gives the exact report; its ROM figure
// is text + data and its RAM figure data + bss of arm-none-eabi-size (1120, 20, 1652).
#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

const std::string example_report =
    report_head +
    "RAM area: \n"
    "Total:    20480\n"
    "Pct Used:   8.2%\n"
    "Free:     18808\n"
    "Used:     1672\n"
    "\n"
    "ROM area: \n"
    "Total:    65536\n"
    "Pct Used:   1.7%\n"
    "Free:     64396\n"
    "Used:     1140\n"
    "\n"
    "\n"
    "  Prg seg0:     Used        1140, Free       64396, Total      65536, Pct Used:   1.7%\n"
    "\n"
    "Program breakdown:\n"
    "986 : 86% , Search = .text \n"
    "130 : 11% , Search = |.rodata |.isr_vector \n"
    "18 : 2% , Search = .data \n"
    "---------------------------------------\n"
    "1134\tAccounted for in search: 99%\n"
    "\n";

TEST(GnuRun, BundledExampleGivesTheKnownReportWithoutAmbiguity) {
    // The C library's memcpy and memset both come in input sections named ".text", from two
    // archive members: both are credited, so nothing is ambiguous.
    expect_bundled_example_report("Gnu", "gnu", example_report, "");
}

}  // namespace
}  // namespace tarvel::test
