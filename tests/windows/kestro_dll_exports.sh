#!/usr/bin/env bash
# A DLL exports exactly the functions its list names, by name, and nothing else (no runtime or
# helper of ours): kestro.dll those of libkestro.so's version script (the flat interface of
# client/kestro.h), KestroClient.dll and Tolvan.OCX those of their .def files (the four of a COM
# server).
# Usage: kestro_dll_exports.sh OBJDUMP DLL LIST (a version script, or a .def file)
set -euo pipefail
objdump=$1
dll=$2
map=$3
name=$(basename "$dll")
if [[ $map == *.def ]]; then
    expected=$(sed -n '/^EXPORTS/,$p' "$map" | grep -oE '^ +[A-Za-z0-9_]+' | tr -d ' ' | sort)
else
    expected=$(grep -oE '^ +[A-Za-z0-9_]+;' "$map" | tr -d ' ;' | sort)
fi
# The name table of `objdump -p`: "\t[   0] +base[   1] 0000 ClientLogoff" and so on.
exported=$("$objdump" -p "$dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -oE '[A-Za-z0-9_]+$' | grep -v Table |
    sort)
[ -n "$exported" ] || { echo "FAILED: $dll exports nothing" >&2; exit 1; }
if [ "$exported" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$exported") >&2 || true
    echo "FAILED: $name's exports differ from $map (< only listed, > only exported)" >&2
    exit 1
fi
echo "$name exports the $(echo "$exported" | wc -l) functions of $(basename "$map")"
