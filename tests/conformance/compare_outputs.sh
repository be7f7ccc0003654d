#!/usr/bin/env bash
# Runs the conformance probe twice, built against the platform layer and built against the
# Windows SDK (under Wine, in the private prefix of the build tree), and compares the outputs
# line by line. A difference passes only when known_differences.txt lists its call with a
# reason; a listed call that no longer differs fails too, so that the list stays true.
# Prints the figures: lines compared, equal, known differences by reason.
# usage: compare_outputs.sh LINUX_PROBE WINDOWS_PROBE KNOWN_DIFFERENCES WINE_PREFIX
# Exit status 77 (skipped) when the Windows probe or Wine is missing.
set -euo pipefail
linux_probe=$1
windows_probe=$2
known=$3
prefix=$4
if [ ! -f "$windows_probe" ] || ! command -v wine >/dev/null; then
    echo "SKIPPED: mingw-w64 or wine is missing; scripts/setup.sh installs them"
    exit 77
fi
if [ ! -f "$prefix/system.reg" ]; then
    echo "SKIPPED: no Wine prefix at $prefix (the conformance.wine_prefix test makes it)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The same user's locale and zone on both sides; the probe names its locales, but the
# VARIANT text conversions follow the user's default (en-US).
LANG=C LC_ALL= TZ=UTC "$linux_probe" >"$work/linux"
# Wine's output goes to files: a lingering wineserver then holds no pipe of the test's.
WINEPREFIX=$prefix WINEDEBUG=-all LANG=en_US.UTF-8 LC_ALL= TZ=UTC \
    wine "$windows_probe" >"$work/windows" 2>"$work/wine.log" </dev/null || {
    echo "the Windows probe failed under Wine:"
    cat "$work/wine.log"
    exit 1
}
awk -v known="$known" -v windows="$work/windows" -f "$(dirname "$0")/compare_lines.awk" "$work/linux"
