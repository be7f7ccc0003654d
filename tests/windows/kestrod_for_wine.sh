# The Linux kestrod that a Wine test talks to over loopback, for the scripts that source this
# file. The sourcing script sets linux_build (the Linux build tree) and address (its case's own
# loopback address) before it starts the server. Sourcing makes a temporary folder, work, and stops the server and
# removes the folder when the script exits, however it ends.
#   start_kestrod NAME [OPTIONS...]  kestrod on address with the database work/NAME.db (and
#                                    the options); its output in work/NAME.out and NAME.log;
#                                    returns once it listens
#   stop_kestrod [SIGNAL]            stops it (TERM unless told), if it runs
#   stop_on_exit PID                 the process PID (a program under Wine the script started
#                                    in the background) is killed too if still running at exit
#   fail TEXT...                     prints FAILED: TEXT and ends the script with 1

work=$(mktemp -d)
kestrod_pid=
kestrod_for_wine_others=()

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

start_kestrod() {
    local name=$1
    shift
    [ -z "$kestrod_pid" ] || fail "a kestrod is already running on $address"
    "$linux_build/kestro/server/kestrod" --listen "$address" --db "$work/$name.db" "$@" \
        >"$work/$name.out" 2>"$work/$name.log" &
    kestrod_pid=$!
    for _ in $(seq 100); do
        grep -q listening "$work/$name.out" 2>/dev/null && return 0
        kill -0 "$kestrod_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/$name.log" >&2
    fail "kestrod did not start on $address"
}

stop_kestrod() {
    if [ -n "$kestrod_pid" ]; then
        kill "-${1:-TERM}" "$kestrod_pid" 2>/dev/null || true
        wait "$kestrod_pid" 2>/dev/null || true
        kestrod_pid=
    fi
}

stop_on_exit() {
    kestrod_for_wine_others+=("$1")
}

kestrod_for_wine_finish() {
    # Bash runs this trap also in a background subshell that an expansion error ends: only the
    # script itself cleans up.
    [ "$BASHPID" = "$$" ] || return 0
    local pid
    for pid in "${kestrod_for_wine_others[@]}"; do
        kill -KILL "$pid" 2>/dev/null || true
    done
    stop_kestrod
    rm -rf "$work"
}
trap kestrod_for_wine_finish EXIT
