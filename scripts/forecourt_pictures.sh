#!/usr/bin/env bash
# The README's pictures of the popup over the forecourt window: kestrod on a manual clock with
# the sample station, forecourt headless in PopupMode 2 playing the cashier's stacked sale
# (tests/data/forecourt/stacked_sale.script) once in English and once in Brazilian
# Portuguese; the picture with the popup open becomes docs/forecourt-popup-en-US.png and
# docs/forecourt-popup-pt-BR.png.
# Usage: scripts/forecourt_pictures.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$repo/build}")
out=$(realpath "${2:-$repo/docs}")
work=$(mktemp -d)
server_pid=
stop_server() {
    [ -z "$server_pid" ] || { kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" || true; }
    server_pid=
}
trap 'stop_server; rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry TZ=UTC

for language in en-US:en_US.UTF-8 pt-BR:pt_BR.UTF-8; do
    name=${language%%:*}
    rm -f "$work"/station.db*
    for n in $(seq 1 20); do
        address=127.0.168.$n
        "$build/kestro/server/kestrod" --listen "$address" --call-port 0 --events-port 0 \
            --db "$work/station.db" --clock manual >"$work/kestrod.out" 2>"$work/kestrod.log" &
        server_pid=$!
        for _ in $(seq 300); do
            grep -q listening "$work/kestrod.out" && break 2
            kill -0 "$server_pid" 2>/dev/null || break
            sleep 0.1
        done
        wait "$server_pid" 2>/dev/null || true
        server_pid=
    done
    [ -n "$server_pid" ] || { echo "kestrod did not start:"; cat "$work/kestrod.log"; exit 1; }
    read -r call events < <(sed 's/.*call port \([0-9]*\), events port \([0-9]*\)/\1 \2/' \
        "$work/kestrod.out")
    mkdir -p "$work/$name"
    (cd "$work/$name" && LANG=${language#*:} LC_ALL= "$build/apps/forecourt" --headless \
        --server "$address" --call-port "$call" --events-port "$events" --popup-mode 2 \
        --script "$repo/tests/data/forecourt/stacked_sale.script" >out 2>err) ||
        { cat "$work/$name/out" "$work/$name/err"; exit 1; }
    cp "$work/$name/05-popup.png" "$out/forecourt-popup-$name.png"
    echo "wrote $out/forecourt-popup-$name.png"
    stop_server
done
