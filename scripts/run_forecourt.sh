#!/usr/bin/env bash
# Starts kestrod --demo on the sample station in a temporary folder and shows its pumps in the
# forecourt window: on the display when $DISPLAY is set (until the window is closed), else
# headless for a short run that writes forecourt.png every few seconds into the current folder.
# Tolvan and the client object are registered into a registry file of the temporary folder.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${FORECOURT_BUILD:-$repo/build}
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -z "$server_pid" ] || { kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" || true; }
    rm -rf "$work"
}
trap cleanup EXIT
export FORECOURT_REGISTRY=$work/registry

address=
for n in $(seq 1 20); do
    candidate=127.0.0.$n
    "$build/kestro/server/kestrod" --listen "$candidate" --call-port 0 --events-port 0 \
        --db "$work/station.db" --station sample --demo >"$work/kestrod.out" 2>"$work/kestrod.log" &
    server_pid=$!
    for _ in $(seq 100); do
        grep -q listening "$work/kestrod.out" 2>/dev/null && break
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    if grep -q listening "$work/kestrod.out"; then
        address=$candidate
        break
    fi
    wait "$server_pid" || true
    server_pid=
done
[ -n "$address" ] || { echo "kestrod did not start:" >&2; cat "$work/kestrod.log" >&2; exit 1; }
echo "== $(cat "$work/kestrod.out") (demo on the sample station in $work)"
read -r call events < <(sed 's/.*call port \([0-9]*\), events port \([0-9]*\)/\1 \2/' \
    "$work/kestrod.out")
options=(--server "$address" --call-port "$call" --events-port "$events" --popup-mode 2)

if [ -n "${DISPLAY:-}" ]; then
    echo "== forecourt on $DISPLAY: click a calling pump to authorise it; close the window to end"
    FORECOURT_DISPLAY=sdl "$build/apps/forecourt" "${options[@]}"
else
    out=$(pwd)/forecourt.png
    echo "== no display: forecourt runs headless for 30 s and writes $out every 5 s"
    {
        for _ in 1 2 3 4 5 6; do
            echo "wait 5000"
            echo "screenshot $out"
        done
    } >"$work/demo.script"
    "$build/apps/forecourt" --headless "${options[@]}" --script "$work/demo.script"
    echo "== the last picture of the forecourt is $out"
fi
