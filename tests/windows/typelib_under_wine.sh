#!/usr/bin/env bash
# Tolvan's type library three ways, compared as text: the .tlb widl built (read by oleaut32
# under Wine through typelib_dump), the kept expected text, and, when given, the Linux printer
# of the module's tables. The tables and the kept text must agree byte for byte; widl's
# library must agree with them but for the help strings of dispatch properties, which widl
# cannot store (a widl library's VARDESC records carry none; MIDL keeps them).
# usage: typelib_under_wine.sh TYPELIB_DUMP TLB EXPECTED [LINUX_PRINTER]
# WINEPREFIX names the private prefix.
set -euo pipefail
dump=$(realpath "$1")
tlb=$(realpath "$2")
expected=$3
printer=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

if [ -n "$printer" ]; then
    "$printer" >"$work/tables.txt"
    if ! diff -u --label expected "$expected" --label tables "$work/tables.txt"; then
        echo "FAILED: the module's tables differ from $expected"
        status=1
    fi
fi

cp "$tlb" "$work/Tolvan.tlb"
(cd "$work" && wine "$dump" Tolvan.tlb) >"$work/widl.txt" 2>"$work/wine.log" </dev/null || {
    echo "FAILED: typelib_dump under Wine:"
    cat "$work/wine.log"
    exit 1
}
# The expected text without the help lines of variables (a help line follows its member).
awk '/^  var / { in_var = 1; print; next }
     /^  [a-z]/ || /^[a-z]/ { in_var = 0 }
     !(in_var && /^    help /) { print }' "$expected" >"$work/expected-widl.txt"
if ! diff -u --label "expected (no property help)" "$work/expected-widl.txt" --label widl "$work/widl.txt"; then
    echo "FAILED: widl's Tolvan.tlb differs from $expected"
    status=1
fi
exit $status
