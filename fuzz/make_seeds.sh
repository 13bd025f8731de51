#!/usr/bin/env bash
# Writes the seeds of the detect, base_report, budget and report_run targets from the examples
# and the other targets' seeds: the base reports are real JSON reports of the examples, made by
# the tarvel-report that the build holds. Run again when the examples or the report change.
# Usage: fuzz/make_seeds.sh [build-dir]   (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
report=$(realpath "${1:-build-fuzz}/src/tarvel-report")
corpus=fuzz/corpus
mkdir -p "$corpus"/{detect,base_report,budget,report_run}

# detect: every example map, and the maps the reader targets start from.
for map in examples/*/*.map; do
    cp "$map" "$corpus/detect/$(basename "$(dirname "$map")")_$(basename "$map")"
done
for map in "$corpus"/map_*/*; do
    cp "$map" "$corpus/detect/$(basename "$(dirname "$map")")_$(basename "$map")"
done

# Runs the report in the example's directory, so that the report names its files briefly.
json_of() {
    local dir=$1
    shift
    (cd "$dir" && "$report" --format json "$@")
}

# base_report: each example's report; a diff, budgets and a breakdown for the members that
# only those add; a Gnu map's own regions as areas.
for dir in examples/*/; do
    name=$(basename "$dir")
    [ -f "$dir/application.map" ] || continue
    json_of "$dir" --def target.def --map application.map >"$corpus/base_report/$name.json"
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp examples/puma/target.def examples/puma/next.map "$scratch"
cp "$corpus/base_report/puma.json" "$scratch/base.json"
json_of "$scratch" --def target.def --map next.map --diff base.json --max ROM=90% \
    --max-growth RAM=1KiB >"$corpus/base_report/puma_diff_budgets.json"
json_of "$corpus/map_gnu" --map small.map --by object >"$corpus/base_report/gnu_regions.json"
# Figures at the ends of 64 bits, whose changes once overflowed.
printf '%s' '{"format":"tarvel-usage","version":1,"ram":{"used":-9223372036854775808},' \
    '"rom":{"used":9223372036854775807},"areas":[{"name":"Prg seg0","used":-1}],' \
    '"searches":[],"entries":[{"area":"Prg seg0","name":".text","size":-9223372036854775808}]}' \
    >"$corpus/base_report/extreme_figures.json"
# Spliced into the target's own report (see base_report_fuzzer.cpp): a large figure, a
# removed "used", a name that needs escapes.
printf '\x01\x7c\x00\x03-9223372036854775808' >"$corpus/base_report/splice_figure"
printf '\x01\x60\x00\x0a' >"$corpus/base_report/splice_cut"
printf '\x01\x40\x01\x00"\\u003cscript\\u003e\\"\\ud83d\\ude00",' >"$corpus/base_report/splice_name"
# Nesting: 100 000 levels in a member of a report (200 KB, which run.sh lets this target
# read), and 70 levels in place of an area's "bits", a few past the reader's limit.
brackets() { head -c "$1" /dev/zero | tr '\0' "$2"; }
{
    printf '{"format":"tarvel-usage","version":1,"x":'
    brackets 100000 '['
    brackets 100000 ']'
    printf '}'
} >"$corpus/base_report/deep_member.json"
{
    printf '\x01\x55\x01\x01'
    brackets 70 '['
    brackets 70 ']'
} >"$corpus/base_report/splice_deep"

# budget: the first byte is the kind (bit 0) and a target to retarget to; then the text.
budget_seed() { printf "$2" >"$corpus/budget/$1"; }
budget_seed bytes '\x00ROM=20000'
budget_seed kib '\x02RAM=480KiB'
budget_seed fraction '\x04Prg seg0=1.5MiB'
budget_seed decimal '\x06Ram seg0 = 12 kB '
budget_seed percent '\x08RAM=90%%'
budget_seed growth_percent '\x01ROM=12.5%%'
budget_seed growth_bytes '\x03RAM=2GB'
budget_seed search '\x0a text !DFALib = x =  4KiB'
budget_seed refused '\x00ROM=1..5KiB'
budget_seed large '\x01RAM=999999999999999999%%'

# report_run: a flag byte (type, definition, base, budgets, --by object), the map and the
# chosen files, split by lines "%%".
run_seed() {
    local name=$1 flags=$2
    shift 2
    {
        printf "$flags"
        local first=1
        for part in "$@"; do
            [ $first = 1 ] || printf '\n%%%%\n'
            first=0
            cat "$part"
        done
    } >"$corpus/report_run/$name"
}
budgets=$scratch/budgets
printf 'ROM=90%%\nRAM=100KiB\n+ROM=10%%\n+Prg seg0=1000\n' >"$budgets"
for dir in examples/*/; do
    name=$(basename "$dir")
    [ -f "$dir/application.map" ] || continue
    [ "$name" = gnu ] && continue  # larger than a fuzz input; its parts are below
    run_seed "$name" '\x08' "$dir/application.map" "$dir/target.def"
done
# Inputs stay below the 8192 bytes that run.sh allows: the diffs are of the smaller examples.
run_seed wren_diff_budgets '\x38' examples/wren/application.map examples/wren/target.def \
    "$corpus/base_report/wren.json" "$budgets"
run_seed otter_typed_diff '\x1f' examples/otter/application.map examples/otter/target.def \
    "$corpus/base_report/puma_mem32_unlimited.json"
printf 'FLASH=64KiB\nRAM=50%%\n' >"$budgets"
run_seed gnu_regions_by_object '\x60' "$corpus/map_gnu/small.map" "$budgets"
run_seed gnu_diff '\x56' "$corpus/map_gnu/small.map" "$corpus/base_report/gnu_regions.json"
run_seed gnu_typed '\x06' "$corpus/map_gnu/arm_example.map"
