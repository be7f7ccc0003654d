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
# shellcheck source=kestrod_for_wine.sh
source "$(dirname "$0")/kestrod_for_wine.sh"
# shellcheck source=wine_case_steps.sh
source "$(dirname "$0")/wine_case_steps.sh"
# The scripts print numbers as the user's locale writes them: en-US, which Wine takes C for.
tolvan_case_arguments "$@"
scripts=$(cd "$(dirname "$0")/scripts" && pwd)

case $case_name in
    vbscript | jscript)
        register_modules
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
        register_modules
        start_kestrod station --clock manual
        start_host "$address" 1 60
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
        host_printed tolvan_control_events.txt
        echo "the container received the control's status and delivery events"
        ;;
    *)
        fail "unknown case $case_name"
        ;;
esac
