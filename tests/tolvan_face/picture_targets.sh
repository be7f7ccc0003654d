#!/usr/bin/env bash
# tolvan-face's pictures replace only a regular file: -o, --gallery and --sheet over a FIFO, a
# folder or a scratch device node fail and leave it as it was; a link is followed to the file
# it names, and a link planted at the partial name is not written through.
# usage: picture_targets.sh TOLVAN_FACE
set -uo pipefail
face=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

mkfifo "$work/fifo.png"
mkdir "$work/folder.png"
nodes=(fifo folder)
if mknod "$work/full.png" c 1 7 2>/dev/null; then
    nodes+=(full)
else
    echo "a device node not tried: mknod is not allowed here"
fi
for node in "${nodes[@]}"; do
    for option in -o --gallery --sheet; do
        out=$(timeout 60 "$face" --state 8 "$option" "$work/$node.png" 2>&1)
        status=$?
        [ "$status" = 1 ] || fail "$option $node.png: status $status"
        [ "$out" = "tolvan-face: cannot write $work/$node.png: not a regular file" ] ||
            fail "$option $node.png: $out"
    done
done
[ -p "$work/fifo.png" ] && [ -d "$work/folder.png" ] || fail "a FIFO or a folder was replaced"
[ ! -e "$work/full.png" ] || [ -c "$work/full.png" ] || fail "the device node was replaced"

printf 'notes\n' >"$work/victim.txt"
ln -s victim.txt "$work/shot.png.partial"
ln -s shot.png "$work/link.png"
out=$(timeout 60 "$face" --state 8 -o "$work/link.png" 2>&1) || fail "-o link.png: $out"
[ "$out" = "face=$work/link.png" ] || fail "-o link.png: $out"
[ "$(cat "$work/victim.txt")" = notes ] || fail "the PNG went through the planted link"
[ -L "$work/link.png" ] || fail "the link to the picture was replaced"
[ "$(head -c 4 "$work/shot.png" | tail -c 3)" = PNG ] || fail "no PNG behind the link"
[ ! -e "$work/shot.png.partial" ] && [ ! -L "$work/shot.png.partial" ] ||
    fail "the planted partial link stays"
exit $((failures > 0))
