// End-to-end test of Puma_mem32_unlimited section maps: the bundled example gives the exact
// report and ambiguity file, with section names recorded without their dot and addresses kept
// in all 32 bits.
#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/report_text.h"

namespace tarvel::test {
namespace {

const std::string example_report =
    report_head +
    "RAM area: \n"
    "Total:    163840\n"
    "Pct Used:  27.1%\n"
    "Free:     119472\n"
    "Used:     44368\n"
    "\n"
    "ROM area: \n"
    "Total:    1081344\n"
    "Pct Used:  33.9%\n"
    "Free:     714820\n"
    "Used:     366524\n"
    "\n"
    "\n"
    "  Prg seg0:     Used      364476, Free      684100, Total    1048576, Pct Used:  34.8%\n"
    "  Prg seg1:     Used        2048, Free       30720, Total      32768, Pct Used:   6.2%\n"
    "\n"
    "Program breakdown:\n"
    "304064 : 83% , Search = text !startup \n"
    "56168 : 15% , Search = |rodata |Const \n"
    "1728 : 0% , Search = |startup |intvect \n"
    "4308 : 1% , Search = data \n"
    "0 : 0% , Search = .text \n"
    "0 : 0% , Search = Cfg \n"
    "---------------------------------------\n"
    "366268\tAccounted for in search: 100%\n"
    "\n"
    "Warning: Ambiguous search with 56168 = 15% found and removed from multiple counting. See "
    "ambiguous search result file in puma_mem32_unlimited/Tarvel.amb.\n"
    "\n";

const std::string example_ambiguities =
    "rodata: Found in [ data ] and in [ |rodata |Const ]\n"
    "rodata.str1.4: Found in [ data ] and in [ |rodata |Const ]\n"
    "CanCfg_Const: Found in [ Cfg ] and in [ |rodata |Const ]\n";

TEST(PumaMem32UnlimitedRun, BundledExampleGivesTheKnownReportAndAmbiguityFile) {
    expect_bundled_example_report("Puma_mem32_unlimited", "puma_mem32_unlimited", example_report,
                                  example_ambiguities);
}

}  // namespace
}  // namespace tarvel::test
