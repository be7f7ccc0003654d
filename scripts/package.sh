#!/usr/bin/env bash
# Builds the Debian packages from a configured build tree:
#   scripts/package.sh [BUILD_DIR [DIST_DIR]]      (default build and dist)
# forecourt-brenkar, forecourt-kestrod, forecourt-tolvan and forecourt-platform, written to
# DIST_DIR; prints each package with its size and dependencies.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
dist=${2:-$root/dist}
if [ ! -f "$build/CPackConfig.cmake" ]; then
    echo "package.sh: $build is not a configured build tree (scripts/build.sh $build)" >&2
    exit 2
fi
cmake --build "$build" -j "$(nproc)" --target installed_files >/dev/null
mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
cpack --config "$build/CPackConfig.cmake" -B "$dist" >"$dist/cpack.log" 2>&1 ||
    { cat "$dist/cpack.log" >&2; exit 1; }
rm -rf "$dist/_CPack_Packages" "$dist/cpack.log"
for deb in "$dist"/*.deb; do
    printf '%s  %s bytes\n  Depends: %s\n' "$(basename "$deb")" "$(stat -c %s "$deb")" \
        "$(dpkg-deb -f "$deb" Depends)"
done
