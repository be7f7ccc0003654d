#!/usr/bin/env bash
# tolvan-face's options for the site and the pump's formats: --back-colour none paints the
# control's own background (the window colour, white) where a site with ambient properties gets
# the button face; --formats sets the display format codes (6.099 with one decimal is the
# picture of 6.1); malformed code lists are refused.
# Usage: site_options.sh TOLVAN_FACE FACE_COMPARE
set -euo pipefail
face=$1
compare=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
state=(--state 6 --hose 2 --grade GA --price 6.099)

"$face" "${state[@]}" --back-colour none -o "$out/plain.png" >/dev/null
"$face" "${state[@]}" --back-colour none -o "$out/plain-again.png" >/dev/null
"$face" "${state[@]}" -o "$out/ambient.png" >/dev/null
"$compare" "$out/plain.png" "$out/plain-again.png" >/dev/null ||
    fail "two faces without ambient properties differ"
if "$compare" "$out/plain.png" "$out/ambient.png" >"$out/report.txt"; then
    fail "the background without ambient properties is the ambient one"
fi
grep -q 'outside the text areas: expected #FFFFFF' "$out/report.txt" ||
    fail "no white background outside the texts: $(head -n 3 "$out/report.txt")"

"$face" "${state[@]}" --formats 3,2,2 -o "$out/one-decimal.png" >/dev/null
"$face" --state 6 --hose 2 --grade GA --price 6.1 --formats 3,2,2 -o "$out/rounded.png" >/dev/null
"$face" --state 6 --hose 2 --grade GA --price 6.1 -o "$out/three-decimals.png" >/dev/null
cmp -s "$out/one-decimal.png" "$out/rounded.png" ||
    fail "--formats 3,2,2 does not show 6.099 as 6.1"
if cmp -s "$out/rounded.png" "$out/three-decimals.png"; then
    fail "--formats 3,2,2 shows the price as the default format does"
fi

for bad in 3,2 3,2,2,1 a,2,2 3,,2 3,2,2, "" 3,2,99999; do
    if "$face" "${state[@]}" --formats "$bad" -o "$out/bad.png" 2>"$out/error.txt"; then
        fail "--formats '$bad' was taken"
    fi
    grep -q -- '--formats needs three display format codes' "$out/error.txt" ||
        fail "--formats '$bad': $(head -n 1 "$out/error.txt")"
done
echo "tolvan-face draws the site's background and the pump's formats as asked"
