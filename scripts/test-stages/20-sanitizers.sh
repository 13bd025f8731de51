#!/usr/bin/env bash
# The whole test suite again, built with clang, AddressSanitizer and UndefinedBehaviorSanitizer:
# any memory error, leak or undefined behaviour, in the tests or in the program they run, fails
# it. The same build holds the fuzz targets (instrumented for coverage as well), which the fuzz
# stage then runs without compiling anything again: clang compiles the instrumented code in a
# third of the time GCC takes, and one build serves both stages.
set -euo pipefail
cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVEL_WERROR=ON -DTARVEL_BUILD_TESTS=ON -DTARVEL_BUILD_FUZZERS=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
# halt_on_error: a report is a failure, not a line in a log that nobody reads. The program's
# child processes inherit these settings.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
