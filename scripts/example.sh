#!/usr/bin/env bash
# Builds the tool and analyses the bundled Puma example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARVEL_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec build/src/tarvel Puma examples/puma/target.def examples/puma/application.map
