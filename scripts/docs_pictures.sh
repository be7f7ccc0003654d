#!/usr/bin/env bash
# Redraws every picture of docs/ from a build: the popup (tolvan-face --popup), the property
# page (control-host's properties verb), the forecourt window on the demo after 12 s
# (kestrod --demo --seed 7) and the popup over it (scripts/forecourt_pictures.sh), each in
# en-US and pt-BR. With GALLERY_DIR set it also writes the face galleries there.
# It starts kestrod on 127.0.168.x: run it in a network namespace of its own when others work
# on the machine (unshare --net sh -c 'ip link set lo up && scripts/docs_pictures.sh').
# Usage: scripts/docs_pictures.sh [BUILD_DIR] [OUT_DIR]   (defaults: build, docs)
set -euo pipefail
source "$(dirname "$0")/picture_run.sh"
"$build/apps/regsvr" "$build/control/Tolvan.OCX" >/dev/null

for language in en-US:en_US.UTF-8:Pump pt-BR:pt_BR.UTF-8:Bomba; do
    name=${language%%:*}
    locale=${language#*:}
    locale=${locale%%:*}
    pump=${language##*:}
    "$build/apps/tolvan-face/tolvan-face" --popup --state 8 --hose 1 --name "$pump 3" \
        --locale "$locale" -o "$out/popup-$name.png" >/dev/null
    mkdir -p "$work/$name"
    (cd "$work/$name" && printf '%s\n' 'create TOLVAN.TolvanCtrl.1' show 'verb properties' \
        'paint page.png' 'key ESCAPE' | LANG=$locale LC_ALL= "$build/apps/control-host" >out)
    cp "$work/$name/page.png" "$out/property-page-$name.png"
    if [ -n "${GALLERY_DIR:-}" ]; then
        mkdir -p "$GALLERY_DIR"
        "$build/apps/tolvan-face/tolvan-face" --gallery "$GALLERY_DIR/gallery-$name.png" \
            --locale "$locale" >/dev/null
    fi

    start_kestrod "$build/kestro/server/kestrod" 127.0.168 "$work" --station sample --demo \
        --seed 7
    printf 'wait 12000\nscreenshot %s\n' "$work/$name/forecourt.png" >"$work/$name/demo.script"
    (cd "$work/$name" && LANG=$locale LC_ALL= "$build/apps/forecourt" --headless \
        --server "$address" --call-port "$call_port" --events-port "$events_port" \
        --popup-mode 2 --script "$work/$name/demo.script" >out 2>err) ||
        { cat "$work/$name/out" "$work/$name/err"; exit 1; }
    cp "$work/$name/forecourt.png" "$out/forecourt-$name.png"
    stop_kestrod
done
"$repo/scripts/forecourt_pictures.sh" "$build" "$out" >/dev/null
ls "$out"/*.png
