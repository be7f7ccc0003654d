#!/usr/bin/env bash
# The pictures of the popup over the forecourt window: kestrod on a manual clock with
# the sample station, forecourt headless in PopupMode 2 playing the cashier's stacked sale
# (tests/data/forecourt/stacked_sale.script) once in English and once in Brazilian
# Portuguese; the picture with the popup open becomes docs/forecourt-popup-en-US.png and
# docs/forecourt-popup-pt-BR.png.
# Usage: scripts/forecourt_pictures.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs)
set -euo pipefail
source "$(dirname "$0")/picture_run.sh"

for language in en-US:en_US.UTF-8 pt-BR:pt_BR.UTF-8; do
    name=${language%%:*}
    start_kestrod "$build/kestro/server/kestrod" 127.0.168 "$work" --clock manual
    mkdir -p "$work/$name"
    (cd "$work/$name" && LANG=${language#*:} LC_ALL= "$build/apps/forecourt" --headless \
        --server "$address" --call-port "$call_port" --events-port "$events_port" --popup-mode 2 \
        --script "$repo/tests/data/forecourt/stacked_sale.script" >out 2>err) ||
        { cat "$work/$name/out" "$work/$name/err"; exit 1; }
    cp "$work/$name/05-popup.png" "$out/forecourt-popup-$name.png"
    echo "wrote $out/forecourt-popup-$name.png"
    stop_kestrod
done
