// What the end-to-end tests of tarvel-report's bad input share: the small Puma input with a
// report of an earlier run at the output path, a check that a failed run names its reason and
// leaves that report as it was, and the time and memory of a run on a large input.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "support/report_run.h"

namespace tarvel::test {

// Time and memory bounds hold for optimised builds; a debugging or sanitizer build, or Wine,
// is many times slower, and there the figures are only printed.
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__) && !defined(_WIN32)
inline constexpr bool resource_bounds_checked = true;
#else
inline constexpr bool resource_bounds_checked = false;
#endif

struct measured_run {
    process_result result;
    double seconds = 0;
    long peak_kib = 0;  // the largest resident set of any program run so far (POSIX), or 0
};

inline measured_run measured_report(const c_temp_dir& dir,
                                    const std::vector<std::string>& arguments) {
    measured_run run;
    const auto start = std::chrono::steady_clock::now();
    run.result = run_report(dir, arguments);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
#ifndef _WIN32
    rusage usage{};
    if (::getrusage(RUSAGE_CHILDREN, &usage) == 0) {
        run.peak_kib = usage.ru_maxrss;
    }
#endif
    return run;
}

// Prints a run's figures and, where they are checked, holds them to their bounds. The time
// bound only tells a hang or a quadratic blow-up from a slow machine; the speed itself is
// measured by the benchmarks in bench/, not here.
inline void expect_within(const measured_run& run, const std::string& what, double max_seconds,
                          long max_mib) {
    std::cout << what << ": " << run.seconds << " s, peak " << run.peak_kib / 1024 << " MiB\n";
    ::testing::Test::RecordProperty(what + " seconds", std::to_string(run.seconds));
    if (resource_bounds_checked) {
        EXPECT_LT(run.seconds, max_seconds) << what;
        EXPECT_LT(run.peak_kib, max_mib * 1024) << what;
    }
}

class ReportBadInput : public ::testing::Test {
  protected:
    ReportBadInput() {
        write_small_puma_input(dir);
        dir.write("r.json", earlier);
    }

    // Runs with `arguments` and `output` r.json ("--json r.json"); expects `code`, nothing on
    // standard output, exactly `message` on standard error, and the earlier r.json as it was.
    void expect_refused(const std::vector<std::string>& arguments, int code,
                        const std::string& message, const std::string& output = "--json") {
        std::vector<std::string> with_output = arguments;
        with_output.insert(with_output.end(), {output, "r.json"});
        const process_result result = run_report(dir, with_output);
        EXPECT_EQ(result.exit_code, code) << message;
        EXPECT_EQ(result.output, "") << message;
        EXPECT_EQ(result.error_output, native_lines(message));
        EXPECT_EQ(dir.read("r.json"), earlier) << message;
    }

    const std::string earlier = "the report of an earlier run\n";
    c_temp_dir dir;
};

}  // namespace tarvel::test
