#!/usr/bin/env bash
# The unit and end-to-end tests on this machine, warnings treated as errors. The benchmarks are
# built here too, so that the benchmark stage runs this build instead of compiling its own.
set -euo pipefail
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARVEL_WERROR=ON -DTARVEL_BUILD_TESTS=ON \
    -DTARVEL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
