#!/usr/bin/env bash
# The forecourt end to end: kestrod on a manual clock with the sample station on a free
# address 127.0.167.N, forecourt in PopupMode 2 with a fresh registry (it registers the client
# object and Tolvan itself) playing tests/data/forecourt/stacked_sale.script, headless; the
# output must show the current pump, the stacked sale, the popup over the window and the
# stacked sale chosen in it, and a second headless run must paint the same pictures; a script
# that ends with the popup open must fail and end. With "sdl" as 4th argument (under
# xvfb-run) the same scenario runs on the SDL display and its pictures must equal the
# headless ones.
# usage: run_forecourt_scenario.sh FORECOURT KESTROD DATA_DIR [sdl]
set -euo pipefail
forecourt=$1 kestrod=$2 data=$3 mode=${4:-headless}
work=$(mktemp -d)
source "$(dirname "$0")/../../scripts/kestrod_server.sh"
keep_pictures() {  # FORECOURT_SHOTS=DIR keeps every run's pictures and output there
    [ -z "${FORECOURT_SHOTS:-}" ] || { mkdir -p "$FORECOURT_SHOTS" && cp -r "$work"/*/ "$FORECOURT_SHOTS"/; }
}
trap 'stop_kestrod; keep_pictures; rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry LANG=C LC_ALL= TZ=UTC

# Plays a scenario (${3:-stacked_sale}.script) into folder $1 with display $2; with a 4th
# argument "fails" the run must end with status 1.
play() {
    mkdir -p "$work/$1"
    start_kestrod "$kestrod" 127.0.167 "$work" --clock manual
    local options=(--server "$address" --call-port "$call_port" --events-port "$events_port"
                   --popup-mode 2 --script "$data/${3:-stacked_sale}.script")
    local display=()
    [ "$2" = sdl ] && display=(env FORECOURT_DISPLAY=sdl) || options+=(--headless)
    local status=0
    (cd "$work/$1" && timeout 60 "${display[@]}" "$forecourt" "${options[@]}") \
        >"$work/$1/out" 2>"$work/$1/err" || status=$?
    if [ "$status" != "$([ "${4:-}" = fails ] && echo 1 || echo 0)" ]; then
        echo "status $status"; cat "$work/$1/out" "$work/$1/err"; exit 1
    fi
    stop_kestrod
}

expect() {  # expect FOLDER TEXT: the run's output holds the line TEXT
    grep -qxF -- "$2" "$work/$1/out" || { echo "missing in $1: $2"; cat "$work/$1/out"; exit 1; }
}

play first headless
expect first "current=3"
expect first "strip: Bomba 3: sale 1 stacked, 1.000 L Gasolina Comum, \$5.90"
expect first "strip: Bomba 3: sale 2 to be paid, 0.500 L Gasolina Comum, \$2.95"
# The popup's row 2 is the stacked sale: DeliverySelectedEvent names it, as the strip's last line.
expect first "strip: Bomba 3: sale 1 chosen for payment, 1.000 L Gasolina Comum, \$5.90"
[ "$(grep '^strip:' "$work/first/out" | tail -1)" = \
  "strip: Bomba 3: sale 1 chosen for payment, 1.000 L Gasolina Comum, \$5.90" ] ||
    { echo "the selection is not the strip's last line"; cat "$work/first/out"; exit 1; }
grep -q "forecourt: the popup stands at" "$work/first/err" ||
    { echo "05-popup.png shows no popup"; cat "$work/first/err"; exit 1; }
if grep -q "^error:" "$work/first/out"; then cat "$work/first/out"; exit 1; fi
grep -q "pump 3 delivery 1: state 2 stacked" "$work/first/out" ||
    { echo "sale 1 was not stacked"; cat "$work/first/out"; exit 1; }
grep -q "forecourt: 8 pumps" "$work/first/err" || { cat "$work/first/err"; exit 1; }
for shot in 01-start 02-calling 03-delivering 04-stacked 05-popup 06-selected; do
    [ -s "$work/first/$shot.png" ] || { echo "no $shot.png"; exit 1; }
done
# The calling, delivering and stacked pictures differ from the start: the face is live.
# The popup shows over the stacked picture, and is gone in the last one.
for pair in 01-start:02-calling 01-start:03-delivering 01-start:04-stacked \
            04-stacked:05-popup 05-popup:06-selected; do
    if cmp -s "$work/first/${pair%:*}.png" "$work/first/${pair#*:}.png"; then
        echo "${pair#*:}.png shows nothing new"; exit 1
    fi
done

# A script that ends with the popup open fails and closes it: the program ends by itself.
play open headless popup_left_open fails
expect open "error: the script ended with a popup open (closed with ESCAPE)"
expect open "current=3"

if [ "$mode" = sdl ]; then
    play sdl sdl
    compare=sdl
else
    play second headless
    compare=second
fi
# Every picture matches the headless run's (the calling face blinks only after a second).
for shot in 01-start 02-calling 03-delivering 04-stacked 05-popup 06-selected; do
    cmp -s "$work/first/$shot.png" "$work/$compare/$shot.png" ||
        { echo "$shot.png differs between the headless and the $compare run"; exit 1; }
done
echo "forecourt scenario passed ($mode)"
