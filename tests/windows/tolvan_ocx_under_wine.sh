#!/usr/bin/env bash
# Tolvan.OCX registered and unregistered by Wine's regsvr32: the keys reg prints after the
# registration (the module's path and folder normalised) against the expected file, and none of
# them left after regsvr32 /u.
# Usage: tolvan_ocx_under_wine.sh OCX EXPECTED
#   OCX       the built Tolvan.OCX
#   EXPECTED  tests/data/windows/tolvan_registration.txt
# WINEPREFIX names the private prefix.
set -euo pipefail
ocx=$(realpath "$1")
expected=$(realpath "$2")
export WINEDEBUG=-all

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

control_key='HKCR\CLSID\{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}'
progid_key='HKCR\TOLVAN.TolvanCtrl.1'
typelib_key='HKCR\TypeLib\{4CA564D7-4F81-4C2C-9429-6609A57D26A5}\1.0'
page_key='HKCR\CLSID\{24919A8D-2502-49CA-B37B-C348EE6E708C}'
interface_keys=('HKCR\Interface\{9B739684-14D2-447F-865E-28E21576139A}'
                'HKCR\Interface\{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}')
# The page's ProgID is given to its factory, never registered (nor removed).
page_progid_key='HKCR\TOLVAN.TolvanPropPage.1'
keys=("$control_key" "$progid_key" "$typelib_key" "$page_key" "${interface_keys[@]}")

ocx_windows_path=$(wine winepath -w "$ocx" 2>/dev/null | tr -d '\r')
ocx_windows_folder=${ocx_windows_path%\\*}

# A text as a sed pattern that matches it literally.
literal() {
    printf '%s' "$1" | sed 's/[][\\.*^$/]/\\&/g'
}

# Every key as reg prints it, Unix line ends, the module named OCX and its folder FOLDER.
query_keys() {
    local key
    for key in "${keys[@]}"; do
        wine reg query "$key" /s >>"$work/query.raw" 2>&1 || fail "reg query $key failed"
    done
    tr -d '\r' <"$work/query.raw" |
        sed -e "s/$(literal "$ocx_windows_path")/OCX/g" -e "s/$(literal "$ocx_windows_folder")/FOLDER/g"
}

wine regsvr32 /s "$ocx" || fail "regsvr32 /s answered $?"
query_keys >"$work/registered.out"
if ! diff -u "$expected" "$work/registered.out"; then
    fail "the registration's keys differ from $(basename "$expected") (- expected, + seen)"
fi
wine reg query "$page_progid_key" >/dev/null 2>&1 && fail "the page's ProgID was registered"

wine regsvr32 /u /s "$ocx" || fail "regsvr32 /u /s answered $?"
for key in "${keys[@]}"; do
    wine reg query "$key" >/dev/null 2>&1 && fail "$key is left after regsvr32 /u"
done
echo "registered, queried and unregistered $ocx_windows_path"
