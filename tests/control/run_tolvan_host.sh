#!/usr/bin/env bash
# Registers Tolvan.OCX with regsvr in a fresh registry, runs the kept control-host script
# tests/data/control_host/tolvan.host against it, unregisters it, and compares the whole
# output byte for byte with tolvan.expected (control-host's exit status 1 is expected: the
# script shows two failing commands). The module's folder, the registry's path and the
# build's date and time are masked, since they differ from build to build.
# With a fifth argument NAME it runs NAME.host against NAME.expected instead; the script runs in
# a temporary folder, where its paint commands leave their PNGs.
# usage: run_tolvan_host.sh CONTROL_HOST REGSVR MODULE DATA_DIR [NAME]
set -euo pipefail
host=$(realpath "$1")
regsvr=$2
module=$3
data=$(realpath "$4")
name=${5:-tolvan}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry LANG=C LC_ALL=
{
    "$regsvr" "$module" || true
    (cd "$work" && "$host" -x "$data/$name.host") || echo "control-host exit status $?"
    "$regsvr" /u "$module" || true
} >"$work/raw" 2>&1
sed -e "s#[^ ]*/Tolvan\.OCX#MODULE_DIR/Tolvan.OCX#g" -e "s#$work/registry#REGISTRY#g" \
    -e 's#Built([A-Z][a-z][a-z] [ 0-9][0-9] [0-9]\{4\} at [0-9:]\{8\})#Built(DATE at TIME)#' \
    "$work/raw" >"$work/out"
if [ -n "${KEEP_HOST_OUTPUT:-}" ]; then
    cp "$work/out" "$KEEP_HOST_OUTPUT"
fi
if ! cmp -s "$work/out" "$data/$name.expected"; then
    echo "control-host output of $name.host differs from $name.expected:"
    diff -u "$data/$name.expected" "$work/out" || true
    exit 1
fi
