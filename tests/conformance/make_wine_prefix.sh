#!/usr/bin/env bash
# Makes the build tree's private Wine prefix the first time the tests need it (about 15 to 30
# seconds) and keeps it for later runs; the user's own ~/.wine is never touched. Quiet: Wine's
# start-up messages go to PREFIX.log.
# usage: make_wine_prefix.sh PREFIX
# Exit status 77 (skipped) when Wine is missing.
set -euo pipefail
prefix=$1
if ! command -v wine >/dev/null || ! command -v wineboot >/dev/null; then
    echo "SKIPPED: wine is missing; scripts/setup.sh installs it"
    exit 77
fi
# Windows are made on Wine's null display driver: the tests run without an X display, and a
# control's windows and dialogs need none to be created, placed and named (without a driver
# Wine makes no top-level window and no child window at all). Also set in a prefix made before.
headless() {
    grep -q '^"Graphics"="null"' "$prefix/user.reg" 2>/dev/null && return 0
    WINEPREFIX=$prefix WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics \
        /d null /f >>"$prefix.log" 2>&1 </dev/null
    WINEPREFIX=$prefix wineserver -w
}
if [ -f "$prefix/system.reg" ]; then
    headless
    exit 0
fi
mkdir -p "$(dirname "$prefix")"
# No Mono or Gecko installers: console programs need neither.
if ! WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    wineboot -i >"$prefix.log" 2>&1 </dev/null; then
    cat "$prefix.log"
    exit 1
fi
WINEPREFIX=$prefix wineserver -w
test -f "$prefix/system.reg"
headless
