// End-to-end tests of input files that are pipes (a shell's process substitution) rather than
// regular files: each is read once, as it streams by, and gives the same result as the file.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <string>

#include "e2e/bad_input_fixtures.h"

namespace tarvel::test {
namespace {

class PipeInput : public BadInput {
  protected:
    // Runs the program from bash, which puts each "<(cat FILE)" on a pipe named /dev/fd/N.
    process_result run_in_shell(const std::string& arguments) {
        return run_program("/bin/bash", {"-c", "exec \"$0\" " + arguments, tarvel_executable()},
                           dir.path());
    }
};

TEST_F(PipeInput, AMapThroughAPipeGivesTheSameReport) {
    for (const map_case& input : all_map_cases()) {
        const process_result clean = clean_run(input.type, input.definition, input.map);
        const process_result result = run_in_shell(input.type + " clean.def <(cat clean.map)");
        EXPECT_EQ(result.output, clean.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
}

TEST_F(PipeInput, EveryInputThroughAPipe) {
    for (const map_case& input : all_map_cases()) {
        clean_run(input.type, input.definition, input.map);
        dir.write("EepPrj.src", clean_eep_source);
        const process_result clean = run({input.type, "clean.def", "clean.map", "EepPrj.src"});
        EXPECT_NE(clean.output.find("EEP size analyze: "), std::string::npos);
        const process_result result =
            run_in_shell(input.type + " <(cat clean.def) <(cat clean.map) <(cat EepPrj.src)");
        EXPECT_EQ(result.output, clean.output) << input.type;
        EXPECT_EQ(result.exit_code, 0) << input.type;
    }
}

// The ambiguity file belongs beside the map, which here is in /dev/fd: it cannot be written
// there, and the report says where it was meant to be.
TEST_F(PipeInput, AmbiguitiesOfAPipedMapAreReportedWithTheirPath) {
    dir.write("t.def", "PROGRAM 0 10000\nSEARCH text\nSEARCH |text\n");
    dir.write("a.map", "  1  .text  00000100  00000000  x\n  AX\n");
    const process_result result = run_in_shell("Puma t.def <(cat a.map)");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_NE(result.output.find("Warning: Ambiguous search with 256 = 100% found and removed "
                                 "from multiple counting. See ambiguous search result file in "
                                 "/dev/fd/Tarvel.amb.\n"),
              std::string::npos)
        << result.output;
}

}  // namespace
}  // namespace tarvel::test

#endif
