#!/usr/bin/env bash
# The unit and end-to-end tests on this machine, warnings treated as errors.
set -euo pipefail
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARVEL_WERROR=ON -DTARVEL_BUILD_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
