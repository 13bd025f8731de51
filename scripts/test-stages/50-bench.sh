#!/usr/bin/env bash
# Benchmark smoke test, about a minute: builds the benchmarks, runs the micro benchmarks briefly
# and the whole-process benchmark on small generated maps of every type. It checks that the
# benchmarks work and that every reader gives a report on them; the timing targets apply to the
# full-size inputs of bench/run.sh and are not checked here (CI machines are too noisy).
set -euo pipefail
cmake -S . -B build-bench-smoke -DCMAKE_BUILD_TYPE=Release -DTARVEL_WERROR=ON -DTARVEL_BUILD_TESTS=OFF \
    -DTARVEL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build-bench-smoke -j"$(nproc)" --target tarvel tarvel_report tarvel_micro_bench \
    tarvel_html_page
build-bench-smoke/bench/tarvel_micro_bench --benchmark_min_time=0.05
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
bash bench/run.sh --smoke --tool build-bench-smoke/src/tarvel --data "$data" all
bash bench/report.sh --smoke --build build-bench-smoke --data "$data"
bash bench/html_open.sh --smoke --build build-bench-smoke --data "$data"
