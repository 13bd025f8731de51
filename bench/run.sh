#!/usr/bin/env bash
# Whole-process benchmark: times tarvel on a generated map beside `wc -l` of the same file (the
# floor: reading the file once), in the same run, and prints the size, the median times, the
# throughput, the ratio to the floor and the peak resident memory.
#
# Usage: bench/run.sh [options] [TYPE...]
#   TYPE            Puma, Ibex, Wren, Puma_mem32_unlimited, Gnu, Lld, Orca, Orca_heavy,
#                   Orca_heavy_nosearch, Armlink, Iar, Ti, or "all" (default: all)
#                   Orca_heavy: a CRLF listing map whose symbols all lie in two program areas,
#                   with 30 searches that most names match twice (an ambiguity file of about a
#                   line per symbol); Orca_heavy_nosearch: the same map without any search;
#                   Orca_heavy_replace: Orca_heavy where each run replaces the ambiguity file
#                   of the run before (every other row starts without one, as in a clean build
#                   directory; replacing a file of 125 MB costs the file system time of its own:
#                   ext4 starts writing the new file out when it is renamed over an old one).
#   --size-mb N     size of the section maps in MiB (default 200)
#   --symbols N     symbol lines of the Orca map (default 1000000)
#   --searches N    searches in the definition files (default 30)
#   --runs N        timed runs of each command per round (default 5)
#   --rounds N      rounds; each round times the floor and the tool once more, so that both
#                   see the same load (default 3)
#   --tool PATH     the tarvel executable (default: build-bench/src/tarvel, else build/src/tarvel)
#   --data DIR      where generated files go (default bench/data, git-ignored)
#   --smoke         small inputs (8 MiB, 50 000 symbols), 1 round of 3 runs: checks that it works
# Needs hyperfine and /usr/bin/time (scripts/setup.sh installs both) and python3.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
size_mb=200
symbols=1000000
searches=30
runs=5
rounds=3
tool=""
data="$here/data"
smoke=0
types=()

while [ $# -gt 0 ]; do
    case "$1" in
        --size-mb) size_mb="$2"; shift 2 ;;
        --symbols) symbols="$2"; shift 2 ;;
        --searches) searches="$2"; shift 2 ;;
        --runs) runs="$2"; shift 2 ;;
        --rounds) rounds="$2"; shift 2 ;;
        --tool) tool="$2"; shift 2 ;;
        --data) data="$2"; shift 2 ;;
        --smoke) size_mb=8; symbols=50000; runs=3; rounds=1; smoke=1; shift ;;
        -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        all) types+=(Puma Ibex Wren Puma_mem32_unlimited Gnu Lld Orca Orca_heavy Orca_heavy_nosearch Orca_heavy_replace Armlink Iar Ti); shift ;;
        Puma|Ibex|Wren|Puma_mem32_unlimited|Gnu|Lld|Orca|Orca_heavy|Orca_heavy_nosearch|Orca_heavy_replace|Armlink|Iar|Ti) types+=("$1"); shift ;;
        *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
[ ${#types[@]} -eq 0 ] && types=(Puma Ibex Wren Puma_mem32_unlimited Gnu Lld Orca Orca_heavy Orca_heavy_nosearch Orca_heavy_replace Armlink Iar Ti)

if [ -z "$tool" ]; then
    for candidate in "$root/build-bench/src/tarvel" "$root/build/src/tarvel"; do
        if [ -x "$candidate" ]; then tool="$candidate"; break; fi
    done
fi
if [ -z "$tool" ] || [ ! -x "$tool" ]; then
    echo "run.sh: no tarvel executable; build it or give --tool" >&2
    exit 2
fi
tool="$(cd "$(dirname "$tool")" && pwd)/$(basename "$tool")"
for needed in hyperfine python3; do
    command -v "$needed" >/dev/null || { echo "run.sh: $needed is missing (scripts/setup.sh)" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "run.sh: /usr/bin/time is missing (scripts/setup.sh)" >&2; exit 2; }
mkdir -p "$data"
data="$(cd "$data" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Peak resident set size in KiB of a command, the largest of three runs.
peak_rss_kib() {
    local peak=0 kib
    for _ in 1 2 3; do
        /usr/bin/time -f "%M" -o "$work/rss" "$@" >/dev/null
        kib="$(tail -n 1 "$work/rss")"
        [ "$kib" -gt "$peak" ] && peak="$kib"
    done
    echo "$peak"
}

echo "tool: $tool"
echo "machine: $(nproc) cores, $(uname -sr); load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-21s %9s %9s %8s %8s %9s %9s %7s %8s %8s  %s\n' type size_MiB lines wc_s tool_s \
    wc_MB/s tool_MB/s ratio RSS_MiB B/entry target
for type in "${types[@]}"; do
    kind="$type"  # the tool's type keyword
    if [ "$type" = Orca ]; then
        stem="orca_$((symbols / 1000))k_${searches}s"
        generate=(--type Orca --symbols "$symbols" --searches "$searches")
    elif [ "$type" = Orca_heavy ] || [ "$type" = Orca_heavy_nosearch ] || [ "$type" = Orca_heavy_replace ]; then
        kind=Orca
        wanted="$searches"
        [ "$type" = Orca_heavy_nosearch ] && wanted=0
        stem="orca_$((symbols / 1000))k_${wanted}s_heavy"
        generate=(--type Orca --symbols "$symbols" --searches "$wanted" --overlap heavy --crlf)
    else
        stem="$(echo "$type" | tr '[:upper:]' '[:lower:]')_${size_mb}mb_${searches}s"
        generate=(--type "$type" --size-mb "$size_mb" --searches "$searches")
    fi
    map="$data/$stem.map"
    def="$data/$stem.def"
    if [ ! -f "$map" ] || [ ! -f "$data/$stem.json" ]; then
        python3 "$here/gen_maps.py" "${generate[@]}" --out "$data" --stem "$stem" >/dev/null
    fi
    # The tool must produce a report on this input, or the timing means nothing. It writes the
    # ambiguity file beside the map, as a user's run does.
    if ! "$tool" "$kind" "$def" "$map" >"$work/report" 2>&1 || ! grep -q "Memory Report" "$work/report"; then
        echo "run.sh: $type run gave no memory report:" >&2
        cat "$work/report" >&2
        exit 1
    fi
    cat "$map" >/dev/null  # into the page cache, for both commands alike
    # The ambiguity file goes beside the map; removed before each run unless the row is about
    # replacing it.
    prepare="rm -f $data/Tarvel.amb"
    [ "$type" = Orca_heavy_replace ] && prepare="true"
    for round in $(seq "$rounds"); do
        hyperfine -N --style none --warmup 1 --runs "$runs" --prepare "$prepare" \
            --export-json "$work/round$round.json" \
            "wc -l $map" "$tool $kind $def $map" >/dev/null 2>&1
    done
    wc_rss="$(peak_rss_kib wc -l "$map")"
    tool_rss="$(peak_rss_kib "$tool" "$kind" "$def" "$map")"
    python3 - "$work" "$rounds" "$map" "$data/$stem.json" "$type" "$wc_rss" "$tool_rss" "$smoke" <<'EOF'
import json, os, statistics, sys
work, rounds, map_path, info_path, kind, wc_rss, tool_rss, smoke = sys.argv[1:]
times = [[], []]
for r in range(1, int(rounds) + 1):
    with open(os.path.join(work, "round%d.json" % r)) as f:
        results = json.load(f)["results"]
    for i in range(2):
        times[i].extend(results[i]["times"])
wc_s, tool_s = (statistics.median(t) for t in times)
size = os.path.getsize(map_path)
with open(map_path, "rb") as f:
    lines = sum(block.count(b"\n") for block in iter(lambda: f.read(1 << 20), b""))
with open(info_path) as f:
    info = json.load(f)
rss = int(tool_rss) * 1024
per_entry = rss / info["placed_entries"] if info.get("placed_entries") else 0
per_entry_text = "%8.0f" % per_entry if kind.startswith("Orca") else "%8s" % "-"
ratio = tool_s / wc_s
if kind == "Orca_heavy":
    # Fixed cost (program, buffers, the search index) and what each placed entry may take.
    limit = 16 * 2**20 + 80 * info["placed_entries"]
    target = "<0.4 s, <%.0f MiB: %s" % (limit / 2**20, (
        "met" if tool_s < 0.4 and rss < limit else "MISSED"))
elif kind == "Orca_heavy_replace":
    target = "(no target: the file system's cost of replacing 125 MB)"
elif kind == "Orca_heavy_nosearch":
    target = "<=5x: %s" % ("met" if ratio <= 5.0 else "MISSED")
elif kind == "Orca" and info.get("symbols", 0) >= 1000000:
    target = "<1 s, <200 B/entry: %s" % (
        "met" if tool_s < 1.0 and per_entry < 200 else "MISSED")
elif kind == "Orca":
    # The bytes per entry are measured on a million symbols; a small map is all fixed cost.
    target = "<1 s: %s" % ("met" if tool_s < 1.0 else "MISSED")
else:
    limit = 5.0 if kind == "Wren" else 3.0
    target = "<=%gx, <32 MiB: %s" % (limit, "met" if ratio <= limit and rss < 32 << 20 else "MISSED")
if smoke == "1":
    target = "(targets apply to full-size inputs)"
print("%-21s %9.1f %9d %8.3f %8.3f %9.0f %9.0f %7.2f %8.1f %s  %s" % (
    kind, size / 2**20, lines, wc_s, tool_s, size / 1e6 / wc_s, size / 1e6 / tool_s,
    tool_s / wc_s, rss / 2**20, per_entry_text, target))
EOF
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg); $rounds round(s) x $runs run(s), medians;" \
    "B/entry = peak RSS / entries the definition places"
