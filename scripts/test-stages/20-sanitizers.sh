#!/usr/bin/env bash
# The whole test suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer: any
# memory error, leak or undefined behaviour, in the tests or in the program they run, fails it.
set -euo pipefail
# GCC's maybe-uninitialized analysis gives false reports inside <regex> and <functional> once
# the sanitizers instrument the code; every other warning stays an error.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEL_WERROR=ON \
    -DTARVEL_BUILD_TESTS=ON -DTARVEL_SANITIZE=ON -DCMAKE_CXX_FLAGS=-Wno-maybe-uninitialized >/dev/null
cmake --build build-asan -j"$(nproc)"
# halt_on_error: a report is a failure, not a line in a log that nobody reads. The program's
# child processes inherit these settings.
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
