#!/usr/bin/env bash
# tarvel-history's speed and size figures with an SQLite file and a private PostgreSQL server
# (Debian's postgresql package; its binaries are off PATH). The server runs from a temporary
# directory on a Unix socket only, as the user postgres when this runs as root, and is stopped
# at the end.
# Usage: bench/history.sh [build-dir]   (configured with -DTARVEL_BUILD_BENCHMARKS=ON)
set -euo pipefail
build=${1:-build}
cmake --build "$build" -j2 --target tarvel_history_bench >/dev/null

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
if [ -z "$bin" ]; then
    echo "No PostgreSQL server binaries: SQLite only." >&2
    exec "$build/bench/tarvel_history_bench"
fi
dir=$(mktemp -d /tmp/tarvel-bench-pg-XXXXXX)
as=()
if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$dir"
    as=(runuser -u postgres --)
fi
stop() {
    "${as[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
    rm -rf "$dir"
}
trap stop EXIT
"${as[@]}" "$bin/initdb" -D "$dir/data" -U tarvel -A trust -E UTF8 >/dev/null
"${as[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-c listen_addresses='' -k $dir" start >/dev/null
TARVEL_BENCH_POSTGRES="postgresql://tarvel@/postgres?host=$dir" \
    "$build/bench/tarvel_history_bench"
