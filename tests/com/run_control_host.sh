#!/usr/bin/env bash
# Runs every control-host script of tests/data/control_host (NAME.script) against the test
# control module in a fresh registry, and compares the output byte for byte with NAME.expected.
# usage: run_control_host.sh CONTROL_HOST REGSVR MODULE DATA_DIR
set -euo pipefail
host=$1
regsvr=$2
module=$3
data=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry
"$regsvr" "$module" >/dev/null
status=0
cd "$work"  # pictures that scripts paint land in the temporary folder
for script in "$data"/*.script; do
    expected=${script%.script}.expected
    "$host" -x "$script" >"$work/out" 2>&1 || true
    if ! cmp -s "$work/out" "$expected"; then
        echo "control-host output of $(basename "$script") differs from $(basename "$expected"):"
        diff -u "$expected" "$work/out" || true
        status=1
    fi
done
exit $status
