#!/usr/bin/env bash
# Every fuzz target, two at a time, within a fixed budget: TARVEL_FUZZ_TOTAL seconds of
# fuzzing shared out among the targets (480 by default, some four minutes on two cores), so that
# a new target shortens the others' turns instead of lengthening CI. TARVEL_FUZZ_SECONDS sets
# the time per target instead. Longer runs are for fuzz/run.sh by hand.
# The targets are those the sanitizer stage built in build-asan; run alone, the stage builds
# them itself.
# A crash, a sanitizer report or a hang fails the stage; the input is kept in fuzz/findings/.
set -euo pipefail
targets=$(bash fuzz/run.sh --list | wc -w)
total=${TARVEL_FUZZ_TOTAL:-480}
seconds=${TARVEL_FUZZ_SECONDS:-$(( total / targets > 10 ? total / targets : 10 ))}
if [ -x build-asan/fuzz/fuzz_line_reader ]; then
    export FUZZ_BUILD_DIR=build-asan FUZZ_NO_BUILD=1
fi
bash fuzz/run.sh "$seconds"
