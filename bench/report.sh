#!/usr/bin/env bash
# tarvel-report on a large listing map: the JSON report with every entry beside the plain
# tarvel run on the same map (target: at most 1.5x), and a --diff run against the JSON report
# of another build of the same size (target: under 2 s for the whole run). Then the same JSON
# comparison on the heavy-overlap map of bench/run.sh (Orca_heavy: every symbol in a program
# area, most names matched by two searches), on standard output and with --json FILE.
#
# Last, a GNU ld map with the ELF file of its link: tarvel-report on the map beside `wc -l` of it
# (target: at most 3x), and with --elf beside without (target: under 10 % more).
#
# Usage: bench/report.sh [--symbols N] [--size-mb N] [--runs N] [--build DIR] [--data DIR] [--smoke]
#   --symbols N   symbol lines of the generated Orca maps (default 1000000)
#   --size-mb N   size of the generated GNU ld map in MiB (default 200)
#   --runs N      timed runs of each command (default 5)
#   --build DIR   the build with src/tarvel and src/tarvel-report (default build-bench, else build)
#   --data DIR    where generated files go (default bench/data, git-ignored)
#   --smoke       50 000 symbols, an 8 MiB GNU ld map, 3 runs: checks that it works; the
#                 targets are not judged
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
symbols=1000000
size_mb=200
runs=5
build=""
data="$here/data"
smoke=0
while [ $# -gt 0 ]; do
    case "$1" in
        --symbols) symbols="$2"; shift 2 ;;
        --size-mb) size_mb="$2"; shift 2 ;;
        --runs) runs="$2"; shift 2 ;;
        --build) build="$2"; shift 2 ;;
        --data) data="$2"; shift 2 ;;
        --smoke) symbols=50000; size_mb=8; runs=3; smoke=1; shift ;;
        -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "report.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
if [ -z "$build" ]; then
    for candidate in "$root/build-bench" "$root/build"; do
        if [ -x "$candidate/src/tarvel-report" ]; then build="$candidate"; break; fi
    done
fi
tarvel="$build/src/tarvel"
report="$build/src/tarvel-report"
[ -x "$report" ] || { echo "report.sh: no tarvel-report; build it or give --build" >&2; exit 2; }
mkdir -p "$data"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Two builds of one program: the same generator with another seed gives other sizes and names.
for seed in 1 2; do
    stem="orca_report_$((symbols / 1000))k_seed$seed"
    if [ ! -f "$data/$stem.map" ]; then
        python3 "$here/gen_maps.py" --type Orca --symbols "$symbols" --searches 30 --crlf \
            --seed "$seed" --out "$data" --stem "$stem" >/dev/null
    fi
done
base="$data/orca_report_$((symbols / 1000))k_seed1"
head="$data/orca_report_$((symbols / 1000))k_seed2"
"$report" --type Orca --def "$base.def" --map "$base.map" --format json >"$work/base.json"
cat "$head.map" >/dev/null

hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/times.json" \
    "$tarvel Orca $head.def $head.map" \
    "$report --type Orca --def $head.def --map $head.map --format json" \
    "$report --type Orca --def $head.def --map $head.map --diff $work/base.json --format markdown" \
    >/dev/null 2>&1
for command in "$tarvel Orca $head.def $head.map" \
    "$report --type Orca --def $head.def --map $head.map --format json" \
    "$report --type Orca --def $head.def --map $head.map --diff $work/base.json --format markdown"; do
    # shellcheck disable=SC2086
    /usr/bin/time -f "%M" -o "$work/rss" $command >/dev/null
    tail -n 1 "$work/rss" >>"$work/rss_all"
done
python3 - "$work" "$smoke" "$symbols" "$(stat -c %s "$work/base.json")" <<'PY'
import json, os, statistics, sys
work, smoke, symbols, json_size = sys.argv[1], sys.argv[2] == "1", int(sys.argv[3]), int(sys.argv[4])
results = json.load(open(os.path.join(work, "times.json")))["results"]
tarvel, as_json, diff = (statistics.median(r["times"]) for r in results)
rss = [int(line) / 1024 for line in open(os.path.join(work, "rss_all"))]
def judged(ok):
    return "(targets apply to a million symbols)" if smoke else ("met" if ok else "MISSED")
print("Orca, %d symbols; JSON report %.1f MB; load %s" % (
    symbols, json_size / 1e6, open("/proc/loadavg").read().split()[0]))
print("tarvel                       %7.3f s  %6.1f MiB" % (tarvel, rss[0]))
print("tarvel-report --format json  %7.3f s  %6.1f MiB  %.2fx tarvel (<=1.5x): %s" % (
    as_json, rss[1], as_json / tarvel, judged(as_json / tarvel <= 1.5)))
print("tarvel-report --diff         %7.3f s  %6.1f MiB  (<2 s): %s" % (
    diff, rss[2], judged(diff < 2.0)))
PY

# The heavy-overlap map: the ambiguity records and every entry go into the JSON report.
heavy="$data/orca_$((symbols / 1000))k_30s_heavy"
if [ ! -f "$heavy.map" ]; then
    python3 "$here/gen_maps.py" --type Orca --symbols "$symbols" --searches 30 --overlap heavy \
        --crlf --out "$data" --stem "$(basename "$heavy")" >/dev/null
fi
cat "$heavy.map" >/dev/null
# Each run starts without the outputs of the run before, as a clean build directory does.
hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/heavy.json" \
    --prepare "rm -f $data/Tarvel.amb $work/h.json" \
    "$tarvel Orca $heavy.def $heavy.map" \
    "$report --type Orca --def $heavy.def --map $heavy.map --format json" \
    "$report --type Orca --def $heavy.def --map $heavy.map --format markdown --json $work/h.json" \
    >/dev/null 2>&1
python3 - "$work" "$smoke" "$symbols" <<'PY'
import json, os, statistics, sys
work, smoke, symbols = sys.argv[1], sys.argv[2] == "1", int(sys.argv[3])
results = json.load(open(os.path.join(work, "heavy.json")))["results"]
tarvel, as_json, json_file = (statistics.median(r["times"]) for r in results)
def judged(ok):
    return "(targets apply to a million symbols)" if smoke else ("met" if ok else "MISSED")
print("Orca heavy overlap, %d symbols; load %s" % (
    symbols, open("/proc/loadavg").read().split()[0]))
print("tarvel                       %7.3f s" % tarvel)
print("tarvel-report --format json  %7.3f s  %.2fx tarvel (<=1.5x): %s" % (
    as_json, as_json / tarvel, judged(as_json / tarvel <= 1.5)))
print("tarvel-report --json FILE    %7.3f s  %.2fx tarvel (<=1.5x): %s" % (
    json_file, json_file / tarvel, judged(json_file / tarvel <= 1.5)))
PY

# The GNU ld map and its ELF file. The figures must be the ELF's, or the timing means nothing.
gnu="$data/gnu_${size_mb}mb"
if [ ! -f "$gnu.map" ] || [ ! -f "$gnu.elf" ] || [ ! -f "$gnu.json" ]; then
    python3 "$here/gen_maps.py" --type Gnu --size-mb "$size_mb" --out "$data" \
        --stem "$(basename "$gnu")" >/dev/null
fi
"$report" --map "$gnu.map" --format json >"$work/gnu.json"
"$report" --map "$gnu.map" --elf "$gnu.elf" --format json >"$work/gnu_elf.json"
python3 - "$work" "$gnu.json" <<'PY'
import json, os, sys
work, info_path = sys.argv[1], sys.argv[2]
info = json.load(open(info_path))
for name in ("gnu.json", "gnu_elf.json"):
    report = json.load(open(os.path.join(work, name)))
    got = (report["rom"]["used"], report["ram"]["used"])
    if got != (info["rom_used"], info["ram_used"]):
        sys.exit("report.sh: %s: ROM and RAM used %s, the ELF says %s" % (
            name, got, (info["rom_used"], info["ram_used"])))
PY
cat "$gnu.map" "$gnu.elf" >/dev/null
hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$work/gnu_times.json" \
    "wc -l $gnu.map" \
    "$report --map $gnu.map --format json" \
    "$report --map $gnu.map --elf $gnu.elf --format json" \
    >/dev/null 2>&1
python3 - "$work" "$smoke" "$gnu.map" "$gnu.elf" <<'PY'
import json, os, statistics, sys
work, smoke, map_path, elf_path = sys.argv[1], sys.argv[2] == "1", sys.argv[3], sys.argv[4]
results = json.load(open(os.path.join(work, "gnu_times.json")))["results"]
wc, plain, with_elf = (statistics.median(r["times"]) for r in results)
def judged(ok):
    return "(targets apply to 200 MiB)" if smoke else ("met" if ok else "MISSED")
print("GNU ld map %.1f MiB, ELF %.1f MiB; load %s" % (
    os.path.getsize(map_path) / 2**20, os.path.getsize(elf_path) / 2**20,
    open("/proc/loadavg").read().split()[0]))
print("wc -l                        %7.3f s" % wc)
print("tarvel-report --format json  %7.3f s  %.2fx wc -l (<=3x): %s" % (
    plain, plain / wc, judged(plain / wc <= 3.0)))
print("tarvel-report --elf          %7.3f s  %+.1f%% (<10%%): %s" % (
    with_elf, (with_elf / plain - 1) * 100, judged(with_elf / plain < 1.10)))
PY
