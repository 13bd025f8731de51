#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a bounded time, two at a time (one per core).
# Usage: fuzz/run.sh [seconds-per-target] [target ...]
#   Targets: line_reader line_matchers memory_def map_orca map_puma map_puma_mem32_unlimited
#            map_ibex map_wren map_gnu map_otter map_armlink map_iar map_ti eep analysis detect
#            base_report budget report_run
#   (default: all). Each starts from its seeds in fuzz/corpus/<target> and keeps what it learns
#   in fuzz/corpus-work/<target>; crashing inputs land in fuzz/findings/<target>/. A target
#   with a dictionary fuzz/<target>.dict is given it.
# Environment: FUZZ_BUILD_DIR (default build-fuzz), FUZZ_JOBS (default 2), FUZZ_NO_BUILD=1 to
# use the targets already built.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
all_targets=(line_reader line_matchers memory_def map_orca map_puma map_puma_mem32_unlimited map_ibex
    map_wren map_gnu map_otter map_armlink map_iar map_ti eep analysis detect base_report budget report_run)
targets=("${all_targets[@]}")
[ $# -gt 0 ] && targets=("$@")
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-2}

if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
    cmake -S . -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_FUZZERS=ON -DTARVEL_WERROR=ON >/dev/null
    cmake --build "$build_dir" -j2 >/dev/null
fi

logs=fuzz/logs
mkdir -p "$logs"

# Runs one target; its log keeps libFuzzer's output with the final statistics.
run_target() {
    local target=$1
    local work=fuzz/corpus-work/$target findings=fuzz/findings/$target
    mkdir -p "$work" "$findings"
    local dict=()
    [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
    # -max_len: maps and definitions of a few KB reach every reader state; longer inputs only
    # slow the search down. -timeout: an input that takes 10 s is a hang.
    "$build_dir/fuzz/fuzz_$target" "$work" "fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" ${dict[@]+"${dict[@]}"} >"$logs/$target.log" 2>&1
}

failed=()
running=0
declare -A pid_of
for target in "${targets[@]}"; do
    if [ ! -x "$build_dir/fuzz/fuzz_$target" ]; then
        echo "unknown target: $target" >&2
        exit 2
    fi
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    echo "fuzzing $target for $seconds s"
    run_target "$target" &
    pid_of[$target]=$!
    running=$((running + 1))
done

for target in "${targets[@]}"; do
    status=0
    wait "${pid_of[$target]}" || status=$?
    log=$logs/$target.log
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 || true)
    corpus=$(find "fuzz/corpus-work/$target" -type f | wc -l)
    printf '%-28s %12s executions  %-10s  corpus %5d  ' "$target" "${executions:-?}" "$coverage" "$corpus"
    if [ "$status" -ne 0 ]; then
        echo "FAILED (exit $status, see $log)"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$log" | head -5 || true
        failed+=("$target")
    else
        echo "ok"
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Findings in: ${failed[*]} (inputs in fuzz/findings/)"
    exit 1
fi
