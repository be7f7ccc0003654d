#!/usr/bin/env bash
# Tolvan.OCX under Wine, driven by clients written against its type library alone: cscript's
# VBScript and JScript, and a container program on Windows' COM (EVENTS_HOST). Each case first
# registers KestroClient.dll and Tolvan.OCX with regsvr32 in the private prefix, then runs
# against the Linux kestrod over loopback; what it prints is compared with its file in
# tests/data/windows/.
# Usage: tolvan_under_wine.sh CASE LINUX_BUILD CLIENT_DLL TOLVAN_OCX DATA_DIR ADDRESS
#   CASE         vbscript, jscript, events
#   LINUX_BUILD  the Linux build tree (kestro/server/kestrod, kestro/ctl/kestroctl)
#   DATA_DIR     tests/data/windows
#   ADDRESS      a loopback address of this case's own (the client object calls ports 5123
#                and 5124)
# WINEPREFIX names the private prefix; PRINTED_DIR, when set, receives a copy of each output.
set -euo pipefail
case_name=$1
linux_build=$(realpath "$2")
client_dll=$(realpath "$3")
tolvan_ocx=$(realpath "$4")
data=$(realpath "$5")
address=$6
scripts=$(cd "$(dirname "$0")/scripts" && pwd)
export WINEDEBUG=-all
# The scripts print numbers as the user's locale writes them: en-US, which Wine takes C for.
export LC_ALL=C LANG=C TZ=UTC
# shellcheck source=kestrod_for_wine.sh
source "$(dirname "$0")/kestrod_for_wine.sh"

kestroctl() {
    "$linux_build/kestro/ctl/kestroctl" --server "$address" "$@" >>"$work/kestroctl.out" 2>&1 ||
        fail "kestroctl $* answered $?: $(cat "$work/kestroctl.out")"
}

# same_as NAME FILE: FILE is what tests/data/windows/NAME says. With PRINTED_DIR set, FILE is
# also copied there as NAME, for a reviewer to hold against the expected one after a change.
same_as() {
    if [ -n "${PRINTED_DIR:-}" ]; then
        cp "$2" "$PRINTED_DIR/$1"
    fi
    if ! diff -u "$data/$1" "$2"; then
        fail "$case_name printed other than $1 (- expected, + printed)"
    fi
}

# Both modules in the prefix, and the control's ProgID leading to its class.
register() {
    wine regsvr32 /s "$client_dll" || fail "regsvr32 /s KestroClient.dll answered $?"
    wine regsvr32 /s "$tolvan_ocx" || fail "regsvr32 /s Tolvan.OCX answered $?"
    wine reg query 'HKCR\TOLVAN.TolvanCtrl.1\CLSID' 2>/dev/null | tr -d '\r' |
        grep -q '{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}' ||
        fail "TOLVAN.TolvanCtrl.1 does not name the control's class after regsvr32"
}

# run_script FILE: cscript runs tests/windows/scripts/FILE with the server's address; its
# output, line ends made Unix ones, the address named ADDRESS and the module's build time as
# its form, goes to work/script.out.
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

case $case_name in
    vbscript | jscript)
        register
        start_kestrod station --clock manual
        # A lifted hose gives the pump's status a grade, its name and its price.
        kestroctl lift 1 2
        if [ "$case_name" = vbscript ]; then
            run_script tolvan_control.vbs
            same_as tolvan_control_vbscript.txt "$work/script.out"
        else
            run_script tolvan_control.js
            same_as tolvan_control_jscript.txt "$work/script.out"
        fi
        echo "$case_name drove TOLVAN.TolvanCtrl.1 as expected"
        ;;
    events)
        [ -n "${EVENTS_HOST:-}" ] || fail "EVENTS_HOST names no container program"
        register
        start_kestrod station --clock manual
        host_out=$work/host.out
        wine "$EVENTS_HOST" "$address" 1 60 >"$host_out" 2>&1 </dev/null &
        host_pid=$!
        stop_on_exit "$host_pid"
        # wait_for TEXT: the host has printed TEXT.
        wait_for() {
            for _ in $(seq 300); do
                grep -q "$1" "$host_out" && return 0
                kill -0 "$host_pid" 2>/dev/null || break
                sleep 0.1
            done
            cat "$host_out" >&2
            fail "the host did not print $1"
        }
        wait_for "ready for events"
        # The customer lifts hose 2 and the cashier authorises; a second and a half of the
        # server's clock later (the pump starts for a second, then fuel runs, a status each
        # tenth of a second) the customer hangs up: the delivery as it ends, and the pump idle
        # with the delivery unpaid.
        kestroctl lift 1 2
        wait_for "StatusEvent State=6 "
        kestroctl authorise 1
        kestroctl tick 1500
        kestroctl hang 1
        wait_for "DeliveryEventEx "
        wait_for "StatusEvent State=3 "
        stop_kestrod KILL
        status=0
        wait "$host_pid" || status=$?
        tr -d '\r' <"$host_out" >"$work/events.out"
        [ "$status" -eq 0 ] || { cat "$work/events.out" >&2; fail "the host ended with $status"; }
        same_as tolvan_control_events.txt "$work/events.out"
        echo "the container received the control's status and delivery events"
        ;;
    *)
        fail "unknown case $case_name"
        ;;
esac
