#!/usr/bin/env bash
# Holds compare_lines.awk to its rules with small made-up outputs, one case per row: which
# pairs of outputs with which list of known differences pass, and which fail with what message.
set -euo pipefail
awk_program=$(dirname "$0")/compare_lines.awk
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# check NAME EXPECTED_STATUS EXPECTED_TEXT LAYER_LINES WINDOWS_LINES KNOWN_LINES
check() {
    printf '%b' "$4" >"$work/layer"
    printf '%b' "$5" >"$work/windows"
    printf '%b' "$6" >"$work/known"
    local status=0
    awk -v known="$work/known" -v windows="$work/windows" -f "$awk_program" "$work/layer" \
        >"$work/out" 2>&1 || status=$?
    if [ "$status" != "$2" ] || ! grep -qF -- "$3" "$work/out"; then
        echo "FAILED: $1 (status $status, expected $2 and \"$3\"):"
        sed 's/^/  /' "$work/out"
        failures=$((failures + 1))
    fi
}

same='A(1) => 1\nB(2) => 2\n'
check "equal outputs pass" 0 "2 lines compared, 2 equal, 0 known differences" \
    "$same" "$same" "# nothing\n"
check "a listed difference passes and is counted by reason" 0 "  wine-data: 1" \
    'A(1) => 1\nB(2) => 2\n' 'A(1) => 1\nB(2) => 3\n' "# comment\n\nwine-data | B(2)\n"
check "an unlisted difference fails" 1 "unexplained difference:" \
    'A(1) => 1\n' 'A(1) => 9\n' ""
check "a listed call that is equal fails" 1 "listed but equal now: A(1)" \
    'A(1) => 1\n' 'A(1) => 1\n' "wine-data | A(1)\n"
check "a listed call the probe never makes fails" 1 "listed but never probed: Z(0)" \
    'A(1) => 1\n' 'A(1) => 1\n' "wine-data | Z(0)\n"
check "outputs out of step fail" 1 "out of step at line 2" \
    'A(1) => 1\nB(2) => 2\n' 'A(1) => 1\nC(3) => 2\n' ""
check "a shorter Windows output fails" 1 "fewer lines" \
    'A(1) => 1\nB(2) => 2\n' 'A(1) => 1\n' ""
check "a longer Windows output fails" 1 "more lines" \
    'A(1) => 1\n' 'A(1) => 1\nB(2) => 2\n' ""
check "an entry without a reason fails" 1 "malformed entry" \
    'A(1) => 1\n' 'A(1) => 1\n' "A(1)\n"
check "a call listed twice fails" 1 "listed twice: A(1)" \
    'A(1) => 1\n' 'A(1) => 2\n' "r1 | A(1)\nr2 | A(1)\n"

if ((failures)); then
    exit 1
fi
echo "all cases passed"
