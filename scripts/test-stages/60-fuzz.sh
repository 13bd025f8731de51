#!/usr/bin/env bash
# Each fuzz target for about a minute, two at a time: twenty targets and the build make about ten
# minutes.
# A crash, a sanitizer report or a hang fails the stage; the input is kept in fuzz/findings/.
set -euo pipefail
bash fuzz/run.sh "${TARVEL_FUZZ_SECONDS:-55}"
