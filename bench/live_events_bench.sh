#!/usr/bin/env bash
# Starts kestrod on the maximal station (real clock) on the first free loopback address
# 127.0.98.N and runs live-events-bench against it: 32 pumps delivering, a status event per
# pump every 100 ms, into 32 registered controls of one client automation object.
# Usage: bench/live_events_bench.sh BUILD_DIR [SECONDS]   (e.g. bench/live_events_bench.sh build 10)
set -euo pipefail
build=$(realpath "$1")
seconds=${2:-10}
kestrod=$build/kestro/server/kestrod
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -z "$server_pid" ] || { kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" || true; }
    rm -rf "$work"
}
trap cleanup EXIT
for n in $(seq 1 20); do
    address=127.0.98.$n
    "$kestrod" --listen "$address" --db "$work/max.db" --station max \
        >"$work/kestrod.out" 2>"$work/kestrod.log" &
    server_pid=$!
    for _ in $(seq 600); do
        grep -q listening "$work/kestrod.out" && break 2
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    wait "$server_pid" 2>/dev/null || true
    server_pid=
done
[ -n "$server_pid" ] || { echo "kestrod did not start:"; cat "$work/kestrod.log"; exit 1; }
"$build/bench/live-events-bench" "$address" "$seconds"
