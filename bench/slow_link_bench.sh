#!/usr/bin/env bash
# Times brenkar across a slow link: kestrod behind latency-link, which holds every chunk for
# DELAY milliseconds each way (a round trip of twice that). Prints, for the sample and the
# maximal station, the EXPORT's and VERIFY's wall-clock seconds (median of RUNS runs), the
# requests kestrod served for each (its round trips), and the peak memory of brenkar and of
# kestrod; with --import also the IMPORT of each exported file into an empty station across
# the same link (one run each: the maximal one takes one round trip per setter, minutes).
# Usage: bench/slow_link_bench.sh BUILD_DIR [--delay MS] [--runs N] [--import]
# Run it in a private network namespace (unshare --net) when others share the machine.
set -euo pipefail
build=$(realpath "$1")
shift
delay=10
runs=3
import=no
while (($#)); do
    case $1 in
        --delay) delay=$2; shift ;;
        --runs) runs=$2; shift ;;
        --import) import=yes ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
kestrod=$build/kestro/server/kestrod
brenkar=$build/transfer/brenkar
link=$build/tools/latency_link/latency-link
work=$(mktemp -d)
server_pid=
link_pid=
cleanup() {
    for pid in "$link_pid" "$server_pid"; do
        [ -z "$pid" ] || { kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; }
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Starts kestrod on 127.0.97.1 with the database and station given, and latency-link on
# 127.0.97.2 in front of its call port; brenkar then talks to 127.0.97.2.
start_server() {
    local db=$1 station=$2
    "$kestrod" --listen 127.0.97.1 --db "$db" --station "$station" \
        >"$work/kestrod.out" 2>"$work/kestrod.log" &
    server_pid=$!
    "$link" --listen 127.0.97.2:5123 --to 127.0.97.1:5123 --delay "$delay" --for 3600 \
        >"$work/link.out" 2>"$work/link.log" &
    link_pid=$!
    for _ in $(seq 600); do
        grep -q listening "$work/kestrod.out" && grep -q listening "$work/link.out" && return 0
        sleep 0.1
    done
    cat "$work/kestrod.log" "$work/link.log" >&2
    exit 1
}

stop_server() {
    local peak
    peak=$(awk '/^VmHWM/ { print int($2 / 1024) }' "/proc/$server_pid/status")
    kill -TERM "$link_pid" "$server_pid"
    wait "$link_pid" || true
    wait "$server_pid" || true
    link_pid=
    server_pid=
    echo "  kestrod peak memory: $peak MiB"
}

# The requests kestrod served on the connection that ended last.
served() {
    grep -o '[0-9]* requests\? served' "$work/kestrod.log" | tail -n 1 | cut -d' ' -f1
}

# Runs brenkar with the arguments through the link; appends "seconds requests KiB" to FILE.
timed() {
    local file=$1 start end
    shift
    start=$(date +%s.%N)
    (cd "$work" && /usr/bin/time -f %M -o "$work/brenkar.rss" "$brenkar" "$@" 127.0.97.2 \
        >"$work/brenkar.out") ||
        { echo "brenkar $* failed:" >&2; tail -n 3 "$work/brenkar.out" >&2; exit 1; }
    end=$(date +%s.%N)
    sleep 0.3  # the server logs the connection's end just after brenkar leaves
    echo "$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }') $(served) $(cat "$work/brenkar.rss")" >>"$file"
}

summary() {
    sort -n "$1" | awk '{ t[NR] = $1; r = $2; m = $3 > m ? $3 : m }
        END { printf "median %.2f s (best %.2f, slowest %.2f, %d runs), %s requests, brenkar peak %d MiB\n",
              t[int((NR + 1) / 2)], t[1], t[NR], NR, r, m / 1024 }'
}

echo "latency-link: $delay ms each way, a $((2 * delay)) ms round trip"
for station in sample max; do
    start_server "$work/$station.db" "$station"
    for _ in $(seq "$runs"); do timed "$work/$station.export" EXPORT "$station.ini"; done
    for _ in $(seq "$runs"); do timed "$work/$station.verify" VERIFY "$station.ini"; done
    echo "$station station:"
    echo "  EXPORT: $(summary "$work/$station.export")"
    echo "  VERIFY: $(summary "$work/$station.verify")"
    stop_server
done
if [ "$import" = yes ]; then
    for station in sample max; do
        start_server "$work/empty-$station.db" empty
        timed "$work/$station.import" IMPORT "$station.ini"
        echo "IMPORT of the $station station into an empty one: $(summary "$work/$station.import")"
        stop_server
    done
fi
