// End-to-end tests of the command line: argument count, path checks and exit codes.
#include <gtest/gtest.h>

#include "support/process.h"
#include "support/report_text.h"
#include "support/temp_dir.h"

namespace tarvel::test {
namespace {

const std::string definition = "PROGRAM 0 10000\nMEMORY 100000 1000\n";
const std::string puma_map =
    "  1  .text  00000100  00000000  x\n"
    "     attributes\n";

class RunControl : public ::testing::Test {
  protected:
    process_result run(const std::vector<std::string>& arguments) {
        return run_program(tarvel_executable(), arguments, dir.path());
    }
    c_temp_dir dir;
};

TEST_F(RunControl, WrongArgumentCountsPrintUsageAndFail) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{},
          {"Puma"},
          {"Puma", "a.def"},
          {"Puma", "a.def", "a.map", "b.src", "extra"}}) {
        const process_result result = run(arguments);
        EXPECT_EQ(result.exit_code, exit_status(-5));
        EXPECT_EQ(result.output, native_lines(banner_text() + usage_text));
    }
}

TEST_F(RunControl, MissingRelativeInputsAreNotFound) {
    EXPECT_EQ(run({"Puma", "none.def", "none.map"}).output,
              native_lines(banner_text() + "Could not find input definition file\n"));
    EXPECT_EQ(run({"Puma", "none.def", "none.map"}).exit_code, exit_status(-2));

    dir.write("target.def", definition);
    const process_result result = run({"Puma", "target.def", "none.map"});
    EXPECT_EQ(result.output, native_lines(banner_text() + "Could not find input map file\n"));
    EXPECT_EQ(result.exit_code, exit_status(-2));
}

}  // namespace
}  // namespace tarvel::test
