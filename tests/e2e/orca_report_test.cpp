// End-to-end tests of Orca listing maps: the bundled example gives the exact report and
// ambiguity file (bit variables counted in bits, reserved ranges counted as used ROM).
#include <gtest/gtest.h>

#include "support/example_run.h"
#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

const std::string example_report =
    report_head +
    "RAM area: \n"
    "Total:    4480\n"
    "Pct Used:  57.1%\n"
    "Free:     1921\n"
    "Used:     2559\n"
    "\n"
    "ROM area: \n"
    "Total:    65536\n"
    "Pct Used:  30.1%\n"
    "Free:     45836\n"
    "Used:     19700\n"
    "\n"
    "\n"
    "  Prg seg0:     Used       14212, Free       34940, Total      49152, Pct Used:  28.9%\n"
    "  Prg seg1:     Used        3152, Free        9136, Total      12288, Pct Used:  25.7%\n"
    "  Prg seg2:     Used        2336, Free        1760, Total       4096, Pct Used:  57.0%\n"
    "\n"
    "Program breakdown:\n"
    "2588 : 13% , Search = Can !Test \n"
    "1718 : 9% , Search = |Adc |Pwm \n"
    "2624 : 13% , Search = _Task \n"
    "2256 : 11% , Search = |Table |_c_ \n"
    "2304 : 12% , Search = RESERVED \n"
    "1442 : 7% , Search = |_main |_Os |_init \n"
    "---------------------------------------\n"
    "12932\tAccounted for in search: 66%\n"
    "\n"
    "Warning: Ambiguous search with 1436 = 7% found and removed from multiple counting. See "
    "ambiguous search result file in orca/Tarvel.amb.\n"
    "\n";

const std::string example_ambiguities =
    "_Can_Task: Found in [ _Task ] and in [ Can !Test ]\n"
    "_Adc_Task: Found in [ _Task ] and in [ |Adc |Pwm ]\n"
    "_init_module: Found in [ |_main |_Os |_init ] and in [ |_main |_Os |_init ]\n"
    "_Can_ConfigTable: Found in [ |Table |_c_ ] and in [ Can !Test ]\n"
    "_Adc_GainTable: Found in [ |Table |_c_ ] and in [ |Adc |Pwm ]\n";

TEST(OrcaRun, BundledExampleGivesTheKnownReportAndAmbiguityFile) {
    expect_bundled_example_report("Orca", "orca", example_report, example_ambiguities);
}

TEST(OrcaRun, ListingWithoutTheHeaderGivesNoReport) {
    const c_temp_dir dir;
    dir.write("target.def", "PROGRAM 0 1000\nRESERVED 0 100\n");
    dir.write("app.map",
              "Linker listing\nMemory map\n\n\n"
              "_main...........................000100  CODE FUNC     0000A4  main.obj\n");
    const process_result result =
        run_program(tarvel_executable(), {"Orca", "target.def", "app.map"}, dir.path());
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output, native_lines(banner_text()));
}

}  // namespace
}  // namespace tarvel::test
