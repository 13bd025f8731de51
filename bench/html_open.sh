#!/usr/bin/env bash
# How long the HTML report of a large listing map takes to open: the page of a generated Orca
# map of a million symbols is opened in headless Chromium, which logs the page's own timing
# (milliseconds since the page began loading: report parsed, treemap drawn, page ready). Prints
# the page's size and the median, least and most of each over the runs; target: the treemap
# drawn in under 2 s.
#
# Usage: bench/html_open.sh [--symbols N] [--runs N] [--build DIR] [--data DIR] [--browser PATH] [--smoke]
#   --symbols N     symbol lines of the generated Orca map (default 1000000)
#   --runs N        times the page is opened (default 5)
#   --build DIR     the benchmark build with bench/tarvel_html_page (default build-bench)
#   --data DIR      where generated files go (default bench/data, git-ignored)
#   --browser PATH  the headless Chromium (default chromium-headless-shell, else chromium)
#   --smoke         50 000 symbols, 2 runs: checks that it works; the target is not judged
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
symbols=1000000
runs=5
build="$root/build-bench"
data="$here/data"
browser=""
smoke=0
while [ $# -gt 0 ]; do
    case "$1" in
        --symbols) symbols="$2"; shift 2 ;;
        --runs) runs="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --data) data="$2"; shift 2 ;;
        --browser) browser="$2"; shift 2 ;;
        --smoke) symbols=50000; runs=2; smoke=1; shift ;;
        -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "html_open.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
page_tool="$build/bench/tarvel_html_page"
if [ ! -x "$page_tool" ]; then
    echo "html_open.sh: no $page_tool; build it: cmake -S . -B build-bench" \
        "-DCMAKE_BUILD_TYPE=Release -DTARVEL_BUILD_BENCHMARKS=ON && cmake --build build-bench" \
        "-j2 --target tarvel_html_page" >&2
    exit 2
fi
if [ -z "$browser" ]; then
    browser="$(command -v chromium-headless-shell || command -v chromium || true)"
fi
[ -x "$browser" ] || { echo "html_open.sh: no headless Chromium (scripts/setup.sh)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "html_open.sh: python3 is missing" >&2; exit 2; }

mkdir -p "$data"
data="$(cd "$data" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

stem="orca_html_${symbols}"
if [ ! -f "$data/$stem.map" ]; then
    python3 "$here/gen_maps.py" --type Orca --symbols "$symbols" --out "$data" --stem "$stem" >/dev/null
fi
page="$data/$stem.html"
start=$(date +%s%N)
"$page_tool" Orca "$data/$stem.def" "$data/$stem.map" "$page"
end=$(date +%s%N)
bytes=$(stat -c %s "$page")
echo "browser: $("$browser" --version 2>/dev/null | head -n 1)"
echo "page: $page"
python3 -c "import sys; b=int(sys.argv[1]); print(f'page size: {b} bytes ({b / 1048576:.1f} MiB), written in {int(sys.argv[2]) / 1e9:.2f} s')" \
    "$bytes" "$((end - start))"

# Each run opens the page in a fresh profile and takes a screenshot, which waits until the page
# has loaded; the page's timing comes from its console message in the browser's log.
for run in $(seq "$runs"); do
    profile="$work/profile-$run"
    run_start=$(date +%s%N)
    "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run --disable-default-apps \
        --user-data-dir="$profile" --window-size=1400,1000 --enable-logging=stderr --v=0 \
        --screenshot="$work/shot.png" "file://$page" >/dev/null 2>"$work/log-$run"
    run_end=$(date +%s%N)
    line="$(grep -o 'tarvel timing: [^"]*' "$work/log-$run" || true)"
    if [ -z "$line" ]; then
        echo "html_open.sh: run $run logged no timing; the browser's log:" >&2
        cat "$work/log-$run" >&2
        exit 1
    fi
    if grep ':CONSOLE' "$work/log-$run" | grep -v 'tarvel timing:' >&2; then
        echo "html_open.sh: the page logged the messages above" >&2
        exit 1
    fi
    echo "$line, browser ran $(((run_end - run_start) / 1000000)) ms" | tee -a "$work/timings"
done

python3 - "$work/timings" "$smoke" <<'EOF'
import re, statistics, sys
rows = [list(map(float, re.findall(r"(\d+) ms", line))) for line in open(sys.argv[1])]
names = ["report parsed", "treemap drawn", "page ready", "browser run"]
for i, name in enumerate(names):
    values = [row[i] for row in rows]
    print(f"{name:>14}: median {statistics.median(values):6.0f} ms, least {min(values):6.0f} ms, most {max(values):6.0f} ms")
drawn = statistics.median(row[1] for row in rows)
if sys.argv[2] == "1":
    print("smoke run: the target is not judged")
else:
    print(f"target: treemap drawn in under 2000 ms: {'met' if drawn < 2000 else 'NOT met'} (median {drawn:.0f} ms)")
EOF
