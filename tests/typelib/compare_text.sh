#!/usr/bin/env bash
# Runs COMMAND and compares what it prints with the EXPECTED file, showing the difference.
# usage: compare_text.sh EXPECTED COMMAND [ARGS...]
set -euo pipefail
expected=$1
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$@" >"$out"
diff -u --label expected "$expected" --label printed "$out"
