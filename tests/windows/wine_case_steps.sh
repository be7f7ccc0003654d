# The steps the Wine cases of the COM modules share, for the scripts that source this file after
# kestrod_for_wine.sh. The sourcing script sets case_name, data (tests/data/windows), scripts
# (tests/windows/scripts) and address before it calls them (tolvan_case_arguments sets all but
# scripts).
#   tolvan_case_arguments CASE LINUX_BUILD CLIENT_DLL TOLVAN_OCX DATA_DIR ADDRESS
#                          the arguments of a Tolvan.OCX case as case_name, linux_build,
#                          client_dll, tolvan_ocx, data and address, and the environment that
#                          Wine and the programs it runs see: no debug channels, the C locale
#                          (en-US to Wine, so numbers are written as in the expected files), UTC
#   same_as NAME FILE      FILE is what data/NAME says; with PRINTED_DIR set, FILE is also copied
#                          there as NAME, for a reviewer to hold against the expected one
#   run_script FILE        cscript runs scripts/FILE with the server's address; its output goes
#                          to work/script.out
#   start_host ARGS...     the container program EVENTS_HOST runs in the background with ARGS;
#                          its output goes to host_out and its process id to host_pid
#   wait_for TEXT [TRIES]  the host has printed TEXT within TRIES tenths of a second (300)
#   host_printed NAME      once the server is killed, the host ends with 0 and has printed what
#                          data/NAME says
#   register_modules       regsvr32 registers client_dll (KestroClient.dll) and tolvan_ocx
#                          (Tolvan.OCX), which the sourcing script names, in the prefix
#   kestroctl ARGS...      the Linux kestroctl of linux_build against the server at address;
#                          its output goes to work/kestroctl.out, and a failure ends the case

tolvan_case_arguments() {
    [ $# -eq 6 ] || fail "usage: CASE LINUX_BUILD CLIENT_DLL TOLVAN_OCX DATA_DIR ADDRESS"
    case_name=$1
    linux_build=$(realpath "$2")
    client_dll=$(realpath "$3")
    tolvan_ocx=$(realpath "$4")
    data=$(realpath "$5")
    address=$6
    export WINEDEBUG=-all
    export LC_ALL=C LANG=C TZ=UTC
}

same_as() {
    if [ -n "${PRINTED_DIR:-}" ]; then
        cp "$2" "$PRINTED_DIR/$1"
    fi
    if ! diff -u "$data/$1" "$2"; then
        fail "$case_name printed other than $1 (- expected, + printed)"
    fi
}

# The output has Unix line ends, the address named ADDRESS and a module's build time as its form.
# Wine's cscript ends a script at its first error without a word and with exit status 0; only
# its trace of the script site's OnScriptError (a fixme of the wscript channel) tells.
run_script() {
    local script status=0
    script=$(wine winepath -w "$scripts/$1" 2>/dev/null | tr -d '\r')
    WINEDEBUG=-all,fixme+wscript wine cscript //nologo "$script" "$address" \
        >"$work/script.raw" 2>"$work/script.err" </dev/null || status=$?
    tr -d '\r' <"$work/script.raw" | sed -e "s/$address/ADDRESS/g" \
        -e 's/Built([A-Z][a-z][a-z] [ 123][0-9] [0-9]\{4\} at [0-2][0-9]:[0-5][0-9]:[0-5][0-9])/Built(Mmm dd yyyy at hh:mm:ss)/' \
        >"$work/script.out"
    [ "$status" -eq 0 ] || { cat "$work/script.out" >&2; fail "cscript $1 ended with $status"; }
    if grep -q OnScriptError "$work/script.err"; then
        tail -n 5 "$work/script.out" >&2
        fail "$1 stopped at a script error after the lines above"
    fi
}

start_host() {
    [ -n "${EVENTS_HOST:-}" ] || fail "EVENTS_HOST names no container program"
    host_out=$work/host.out
    wine "$EVENTS_HOST" "$@" >"$host_out" 2>&1 </dev/null &
    host_pid=$!
    stop_on_exit "$host_pid"
}

wait_for() {
    for _ in $(seq "${2:-300}"); do
        grep -q "$1" "$host_out" && return 0
        kill -0 "$host_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$host_out" >&2
    fail "the host did not print $1"
}

host_printed() {
    local status=0
    stop_kestrod KILL
    wait "$host_pid" || status=$?
    tr -d '\r' <"$host_out" >"$work/events.out"
    [ "$status" -eq 0 ] || { cat "$work/events.out" >&2; fail "the host ended with $status"; }
    same_as "$1" "$work/events.out"
}

# Both modules in the prefix, and the control's ProgID leading to its class.
register_modules() {
    wine regsvr32 /s "$client_dll" || fail "regsvr32 /s KestroClient.dll answered $?"
    wine regsvr32 /s "$tolvan_ocx" || fail "regsvr32 /s Tolvan.OCX answered $?"
    wine reg query 'HKCR\TOLVAN.TolvanCtrl.1\CLSID' 2>/dev/null | tr -d '\r' |
        grep -q '{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}' ||
        fail "TOLVAN.TolvanCtrl.1 does not name the control's class after regsvr32"
}

kestroctl() {
    "$linux_build/kestro/ctl/kestroctl" --server "$address" "$@" >>"$work/kestroctl.out" 2>&1 ||
        fail "kestroctl $* answered $?: $(cat "$work/kestroctl.out")"
}
