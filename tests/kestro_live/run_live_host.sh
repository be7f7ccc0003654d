#!/usr/bin/env bash
# Starts kestrod with a manual clock on the first free address 127.0.166.N, lifts hose 1 of
# pump 3 with kestroctl, registers the client object and Tolvan in a fresh registry, runs the
# kept script tests/data/control_host/live_pump.host in control-host and compares its output
# byte for byte with live_pump.expected (the server's address masked as SERVER).
# usage: run_live_host.sh CONTROL_HOST REGSVR KESTROD KESTROCTL CLIENT_MODULE TOLVAN DATA_DIR
set -euo pipefail
host=$1 regsvr=$2 kestrod=$3 kestroctl=$4 client=$5 tolvan=$6 data=$7
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -z "$server_pid" ] || { kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" || true; }
    rm -rf "$work"
}
trap cleanup EXIT
export FORECOURT_REGISTRY=$work/registry LANG=C LC_ALL=
for n in $(seq 1 20); do
    address=127.0.166.$n
    "$kestrod" --listen "$address" --db "$work/station.db" --clock manual \
        >"$work/kestrod.out" 2>"$work/kestrod.log" &
    server_pid=$!
    for _ in $(seq 300); do
        grep -q listening "$work/kestrod.out" && break 2
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    wait "$server_pid" 2>/dev/null || true
    server_pid=
done
[ -n "$server_pid" ] || { echo "kestrod did not start:"; cat "$work/kestrod.log"; exit 1; }
"$regsvr" "$client" >/dev/null
"$regsvr" "$tolvan" >/dev/null
"$kestroctl" --server "$address" lift 3 1
sed "s/@SERVER@/$address/" "$data/live_pump.host" >"$work/live_pump.host"
"$host" -x "$work/live_pump.host" >"$work/raw" 2>&1 || echo "control-host exit status $?" >>"$work/raw"
sed "s/$address/SERVER/g" "$work/raw" >"$work/out"
if ! cmp -s "$work/out" "$data/live_pump.expected"; then
    echo "control-host output of live_pump.host differs from live_pump.expected:"
    diff -u "$data/live_pump.expected" "$work/out" || true
    exit 1
fi
