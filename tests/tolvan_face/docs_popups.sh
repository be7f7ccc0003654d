#!/usr/bin/env bash
# The popups of docs/ drawn again by tolvan-face, as scripts/docs_pictures.sh draws them, must
# be the committed pictures byte for byte: they run on no clock, so any difference is a change
# in what the control shows (a grade name lost on its way in, a colour, a row's layout).
# usage: docs_popups.sh TOLVAN_FACE DOCS_DIR
set -uo pipefail
face=$(realpath "$1")
docs=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry
failures=0
for language in en-US:en_US.UTF-8:Pump pt-BR:pt_BR.UTF-8:Bomba; do
    name=${language%%:*}
    locale=${language#*:}
    pump=${locale#*:}
    locale=${locale%%:*}
    if ! "$face" --popup --state 8 --hose 1 --name "$pump 3" --locale "$locale" \
        -o "$work/popup-$name.png" >/dev/null; then
        echo "FAIL popup-$name.png: tolvan-face failed"
        failures=$((failures + 1))
    elif ! cmp -s "$work/popup-$name.png" "$docs/popup-$name.png"; then
        echo "FAIL popup-$name.png differs from $docs/popup-$name.png"
        failures=$((failures + 1))
    fi
done
exit $((failures > 0))
