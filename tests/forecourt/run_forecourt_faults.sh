#!/usr/bin/env bash
# forecourt with what a careless or hostile user hands it: a script that is a folder, a
# device or one endless line; a screenshot over a device node, a FIFO, a folder, through a
# link or past a link planted at the partial name; and a controller that goes away during
# the run (strip, faces and exit status). Scratch device nodes are made in the test's own
# folder (skipped where mknod is not allowed).
# usage: run_forecourt_faults.sh FORECOURT KESTROD DATA_DIR
set -uo pipefail
forecourt=$(realpath "$1") kestrod=$(realpath "$2") data=$(realpath "$3")
kestroctl=$(dirname "$forecourt")/../kestro/ctl/kestroctl
work=$(mktemp -d)
source "$(dirname "$0")/../../scripts/kestrod_server.sh"
trap 'stop_kestrod; rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry LANG=C LC_ALL= TZ=UTC
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# run NAME STATUS COMMAND...: runs COMMAND in $work with a time limit, its outputs in
# $work/NAME.out and $work/NAME.err; fails unless it ends with STATUS.
run() {
    local name=$1 status=$2
    shift 2
    local got=0
    (cd "$work" && timeout 60 "$@") >"$work/$name.out" 2>"$work/$name.err" || got=$?
    if [ "$got" != "$status" ]; then
        fail "$name: status $got (expected $status)"
        cat "$work/$name.out" "$work/$name.err"
    fi
}
# has NAME FILE TEXT: the output FILE (out or err) of run NAME holds the line TEXT.
has() {
    grep -qxF -- "$3" "$work/$1.$2" || { fail "$1: no line \"$3\" in its $2:"; cat "$work/$1.$2"; }
}
server_options() {
    echo --server "$address" --call-port "$call_port" --events-port "$events_port" --headless
}

# Scripts that cannot be read are refused before the forecourt starts (no server needed).
mkdir "$work/folder"
run folder 2 "$forecourt" --headless --script "$work/folder"
has folder err "forecourt: cannot read the script $work/folder - Is a directory"
if mknod "$work/zero" c 1 5 2>/dev/null; then
    run zero 2 "$forecourt" --headless --script "$work/zero"
    has zero err "forecourt: cannot read the script $work/zero - not a regular file or a pipe"
else
    echo "a device as script not tried: mknod is not allowed here"
fi

start_kestrod "$kestrod" 127.0.168 "$work" --clock manual
# A line without end is not read into memory: the script stops at it.
{ printf 'strip\n'; head -c 2000000 /dev/zero; printf '\nstrip\n'; } >"$work/endless.script"
run endless 2 "$forecourt" $(server_options) --script "$work/endless.script"
has endless err \
    "forecourt: line 2 of the script is too long (more than 1048576 bytes); the script is not read further"

# A screenshot replaces only a regular file, and its failure is the run's.
mkfifo "$work/fifo.png"
mkdir "$work/folder.png"
nodes=(fifo folder)
mknod "$work/full.png" c 1 7 2>/dev/null && nodes+=(full)
for node in "${nodes[@]}"; do
    run "shot-$node" 1 "$forecourt" $(server_options) --screenshot "$work/$node.png"
    has "shot-$node" err "forecourt: cannot write $work/$node.png: not a regular file"
done
[ -p "$work/fifo.png" ] && [ -d "$work/folder.png" ] || fail "a FIFO or a folder was replaced"
[ ! -e "$work/full.png" ] || [ -c "$work/full.png" ] || fail "the device node was replaced"
printf 'notes\n' >"$work/victim.txt"
ln -s victim.txt "$work/shot.png.partial"
ln -s shot.png "$work/link.png"
run shot-link 0 "$forecourt" $(server_options) --screenshot "$work/link.png"
[ "$(cat "$work/victim.txt")" = notes ] || fail "the PNG went through the planted link"
[ -L "$work/link.png" ] || fail "the link to the picture was replaced"
[ "$(head -c 4 "$work/shot.png" | tail -c 3)" = PNG ] || fail "no PNG behind the link"

# lost NAME LANG FILE OPTION...: a run that loses its controller (kestrod is stopped) once
# FILE of $work exists and tells of pump 3 calling (a picture: exists).
lost() {
    local name=$1 language=$2 sign=$work/$3
    shift 3
    (cd "$work" && LANG=$language timeout 60 "$forecourt" $(server_options) "$@") \
        >"$work/$name.out" 2>"$work/$name.err" &
    local pid=$!
    for _ in $(seq 200); do
        case $sign in
            *.png) [ -e "$sign" ] && break ;;
            *) grep -q "^Bomba 3: \(calling\|chamando\)" "$sign" 2>/dev/null && break ;;
        esac
        sleep 0.1
    done
    stop_kestrod
    local got=0
    wait "$pid" || got=$?
    [ "$got" = 1 ] || { fail "$name: status $got (expected 1)"; cat "$work/$name.out" "$work/$name.err"; }
}
lost lost-script C before.png --script "$data/controller_lost.script"
has lost-script out "face 3: state 6"
for pump in 1 2 3 4 5 6 7 8; do
    has lost-script out "face $pump: state 0"
done
[ "$(grep '^strip:' "$work/lost-script.out" | tail -1)" = "strip: Controller lost" ] ||
    { fail "the strip does not end with the lost controller"; cat "$work/lost-script.out"; }
has lost-script err "forecourt: the connection to the controller at $address was lost"
if grep -q "^error:" "$work/lost-script.out"; then fail "lost-script: a command failed"; fi
cmp -s "$work/before.png" "$work/after.png" && fail "the faces look the same after the loss"

# Without a script, in Portuguese: the status says it, the strip's line is Portuguese.
start_kestrod "$kestrod" 127.0.168 "$work" --clock manual
(sleep 1; "$kestroctl" --server "$address" --call-port "$call_port" \
    --events-port "$events_port" lift 3 1 >/dev/null) &
lost lost-run pt_BR.UTF-8 lost-run.err --seconds 4
has lost-run err "Controlador perdido"

exit $((failures > 0))
