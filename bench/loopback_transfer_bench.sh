#!/usr/bin/env bash
# Times brenkar's EXPORT of the maximal station from a real kestrod over loopback, VERIFY of
# that file against the same kestrod, CHECK of the file (no server), and the IMPORT of the
# file into an empty kestrod (a fresh database each run): the best and the slowest of RUNS
# runs each.
# Usage: bench/loopback_transfer_bench.sh BUILD_DIR [RUNS]   (e.g. bench/loopback_transfer_bench.sh build)
set -euo pipefail
build=$(realpath "$1")
runs=${2:-3}
kestrod=$build/kestro/server/kestrod
brenkar=$build/transfer/brenkar
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -z "$server_pid" ] || { kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" || true; }
    rm -rf "$work"
}
trap cleanup EXIT

# Starts kestrod on the first loopback address 127.0.99.N with port 5123 free; sets address.
start_server() {
    local db=$1 station=$2
    for n in $(seq 1 20); do
        address=127.0.99.$n
        "$kestrod" --listen "$address" --db "$db" --station "$station" \
            >"$work/kestrod.out" 2>"$work/kestrod.log" &
        server_pid=$!
        for _ in $(seq 600); do
            grep -q listening "$work/kestrod.out" && return 0
            kill -0 "$server_pid" 2>/dev/null || break
            sleep 0.1
        done
        wait "$server_pid" || true
        server_pid=
        grep -q "Address already in use" "$work/kestrod.log" || break
    done
    cat "$work/kestrod.log" >&2
    exit 1
}

stop_server() {
    kill -TERM "$server_pid"
    wait "$server_pid"
    server_pid=
}

# Runs brenkar with the arguments and prints its wall-clock seconds; fails on a non-zero exit.
timed() {
    local start end
    start=$(date +%s.%N)
    (cd "$work" && "$brenkar" "$@" >"$work/brenkar.out") ||
        { echo "brenkar $* failed:" >&2; tail -n 3 "$work/brenkar.out" >&2; exit 1; }
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
}

summary() {
    sort -n | awk '{ t[NR] = $1 } END { printf "best %.2f s, slowest %.2f s (%d runs)\n", t[1], t[NR], NR }'
}

start_server "$work/max.db" max
echo "kestrod: $(tail -n 1 "$work/kestrod.log" | sed 's/^kestrod: //')"
for _ in $(seq "$runs"); do timed EXPORT max.ini "$address"; done >"$work/export.times"
for _ in $(seq "$runs"); do timed VERIFY max.ini "$address"; done >"$work/verify.times"
stop_server
echo "EXPORT of the maximal station ($(stat -c %s "$work/max.ini") bytes): $(summary <"$work/export.times")"
echo "VERIFY of that file against the same station: $(summary <"$work/verify.times")"
for _ in $(seq "$runs"); do timed CHECK max.ini; done >"$work/check.times"
echo "CHECK of that file (no server): $(summary <"$work/check.times")"

for i in $(seq "$runs"); do
    start_server "$work/empty$i.db" empty
    timed IMPORT max.ini "$address"
    stop_server
done >"$work/import.times"
echo "IMPORT of that file into an empty station: $(summary <"$work/import.times")"
