#!/usr/bin/env bash
# Starts kestrod with a manual clock on the first free address 127.0.166.N, lifts hose 1 of
# pump 3 with kestroctl, registers the client object and Tolvan in a fresh registry, runs the
# kept script tests/data/control_host/live_pump.host in control-host and compares its output
# byte for byte with live_pump.expected (the server's address masked as SERVER). With an eighth
# argument NAME it runs NAME.host against NAME.expected instead.
# usage: run_live_host.sh CONTROL_HOST REGSVR KESTROD KESTROCTL CLIENT_MODULE TOLVAN DATA_DIR [NAME]
set -euo pipefail
host=$1 regsvr=$2 kestrod=$3 kestroctl=$4 client=$5 tolvan=$6 data=$7 name=${8:-live_pump}
work=$(mktemp -d)
source "$(dirname "$0")/../../scripts/kestrod_server.sh"
cleanup() {
    stop_kestrod
    rm -rf "$work"
}
trap cleanup EXIT
export FORECOURT_REGISTRY=$work/registry LANG=C LC_ALL=
# The script and kestroctl call the default ports.
start_kestrod "$kestrod" 127.0.166 "$work" --call-port 5123 --events-port 5124 --clock manual
"$regsvr" "$client" >/dev/null
"$regsvr" "$tolvan" >/dev/null
"$kestroctl" --server "$address" lift 3 1
sed "s/@SERVER@/$address/" "$data/$name.host" >"$work/$name.host"
"$host" -x "$work/$name.host" >"$work/raw" 2>&1 || echo "control-host exit status $?" >>"$work/raw"
sed "s/$address/SERVER/g" "$work/raw" >"$work/out"
if ! cmp -s "$work/out" "$data/$name.expected"; then
    echo "control-host output of $name.host differs from $name.expected:"
    diff -u "$data/$name.expected" "$work/out" || true
    exit 1
fi
