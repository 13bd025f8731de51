#!/usr/bin/env bash
# Builds and runs every test suite. Each stage is a script in scripts/test-stages, run in order;
# the first that fails stops the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test

for stage in scripts/test-stages/*.sh; do
    echo "=== $(basename "$stage" .sh)"
    start=$SECONDS
    bash "$stage"
    echo "=== $(basename "$stage" .sh): passed in $((SECONDS - start)) s"
done
echo "All test stages passed."
