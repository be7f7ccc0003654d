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
source "$(dirname "$0")/../scripts/kestrod_server.sh"
cleanup() {
    stop_kestrod
    rm -rf "$work"
}
trap cleanup EXIT
# The benchmark calls the default ports.
start_kestrod "$kestrod" 127.0.98 "$work" --call-port 5123 --events-port 5124 --station max
"$build/bench/live-events-bench" "$address" "$seconds"
