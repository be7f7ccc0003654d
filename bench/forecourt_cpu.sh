#!/usr/bin/env bash
# CPU share of the forecourt window's process, from /proc/PID/stat (user + system time):
#   busy  kestrod on the maximal station (real clock, 0.01 L/s) with pumps 1 to 32 lifted and
#         authorised, so 32 pumps deliver and each sends 10 status events a second, shown in
#         a window of 99 faces (--columns 10);
#   still the sample station on a manual clock: nothing happens, the window waits.
# The share is measured over SECONDS after a start of WARMUP seconds. With "sdl" the window is
# shown on the display (run it under xvfb-run), else it runs headless.
# Usage: bench/forecourt_cpu.sh BUILD_DIR [headless|sdl] [SECONDS] [ZOOM] [WARMUP]
#   e.g. xvfb-run -a -s "-screen 0 1280x1024x24" bench/forecourt_cpu.sh build sdl 20
set -euo pipefail
build=$(realpath "$1")
display=${2:-headless}
seconds=${3:-20}
zoom=${4:-1}
warmup=${5:-8}
kestrod=$build/kestro/server/kestrod
work=$(mktemp -d)
window_pid=
source "$(dirname "$0")/../scripts/kestrod_server.sh"
cleanup() {
    [ -z "$window_pid" ] || { kill -TERM "$window_pid" 2>/dev/null; wait "$window_pid" || true; }
    stop_kestrod
    rm -rf "$work"
}
trap cleanup EXIT
export FORECOURT_REGISTRY=$work/registry

start_server() {  # start_server ARG...: kestrod with ARG on a free address 127.0.99.N
    start_kestrod "$kestrod" 127.0.99 "$work" "$@"
    ports=(--server "$address" --call-port "$call_port" --events-port "$events_port")
}

ticks() {  # user + system clock ticks of process $1
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

measure() {  # measure NAME: starts the window, prints its CPU share over $seconds
    local options=("${ports[@]}" --columns 10 --zoom "$zoom" --seconds $((warmup + seconds + 5)))
    if [ "$display" = sdl ]; then
        FORECOURT_DISPLAY=sdl "$build/apps/forecourt" "${options[@]}" >/dev/null 2>"$work/err" &
    else
        "$build/apps/forecourt" --headless "${options[@]}" >/dev/null 2>"$work/err" &
    fi
    window_pid=$!
    sleep "$warmup"
    kill -0 "$window_pid" 2>/dev/null || { echo "forecourt ended:"; cat "$work/err"; exit 1; }
    local before after hz
    before=$(ticks "$window_pid")
    sleep "$seconds"
    after=$(ticks "$window_pid")
    hz=$(getconf CLK_TCK)
    awk -v n="$1" -v d="$display" -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "%-6s %-8s %5.2f %% of one core (%d ticks in %d s)\n", n, d, 100 * t / hz / s, t, s }'
    kill -TERM "$window_pid" 2>/dev/null; wait "$window_pid" || true
    window_pid=
}

start_server --station max --flow-rate 0.01
for pump in $(seq 1 32); do
    "$build/kestro/ctl/kestroctl" "${ports[@]}" lift "$pump" 1 >/dev/null
    "$build/kestro/ctl/kestroctl" "${ports[@]}" authorise "$pump" >/dev/null
done
measure busy
stop_kestrod

start_server --station sample --clock manual
measure still
