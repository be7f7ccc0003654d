#!/usr/bin/env bash
# kestro.dll exports exactly the functions that libkestro.so's version script lists: the flat
# interface of client/kestro.h, by name, and nothing else (no runtime or helper of ours).
# Usage: kestro_dll_exports.sh OBJDUMP KESTRO_DLL LIBKESTRO_MAP
set -euo pipefail
objdump=$1
dll=$2
map=$3
expected=$(grep -oE '^ +[A-Za-z0-9_]+;' "$map" | tr -d ' ;' | sort)
# The name table of `objdump -p`: "\t[   0] +base[   1] 0000 ClientLogoff" and so on.
exported=$("$objdump" -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -oE '[A-Za-z0-9_]+$' | grep -v Table |
    sort)
[ -n "$exported" ] || { echo "FAILED: $dll exports nothing" >&2; exit 1; }
if [ "$exported" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$exported") >&2 || true
    echo "FAILED: kestro.dll's exports differ from $map (< only listed, > only exported)" >&2
    exit 1
fi
echo "kestro.dll exports the $(echo "$exported" | wc -l) functions of the flat interface"
