#!/usr/bin/env bash
# Benchmark smoke test, about a minute: runs the micro benchmarks briefly and the
# whole-process benchmark on small generated maps of every type, with the Release build of the
# native stage (which builds the benchmarks). It checks that the benchmarks work and that every
# reader gives a report on them; the timing targets apply to the full-size inputs of
# bench/run.sh and are not checked here (CI machines are too noisy).
set -euo pipefail
build=build
if [ ! -x "$build/bench/tarvel_micro_bench" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVEL_WERROR=ON -DTARVEL_BUILD_TESTS=ON \
        -DTARVEL_BUILD_BENCHMARKS=ON >/dev/null
    cmake --build "$build" -j"$(nproc)" --target tarvel tarvel_report tarvel_micro_bench \
        tarvel_html_page
fi
"$build"/bench/tarvel_micro_bench --benchmark_min_time=0.05
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
bash bench/run.sh --smoke --tool "$build"/src/tarvel --data "$data" all
bash bench/report.sh --smoke --build "$build" --data "$data"
bash bench/html_open.sh --smoke --build "$build" --data "$data"
