#!/usr/bin/env bash
# KestroClient.dll under Wine: registered by regsvr32 and used by cscript's two script engines
# against the Linux kestrod over loopback. What each case prints is compared with its file in
# tests/data/windows/.
# Usage: kestro_client_under_wine.sh CASE LINUX_BUILD CLIENT_DLL DATA_DIR ADDRESS
#   CASE         registration, vbscript, jscript, events (EVENTS_HOST names the container
#                program that receives them)
#   LINUX_BUILD  the Linux build tree (kestro/server/kestrod, kestro/ctl/kestroctl)
#   DATA_DIR     tests/data/windows
#   ADDRESS      a loopback address of this case's own (the object calls ports 5123 and 5124)
# WINEPREFIX names the private prefix.
set -euo pipefail
case_name=$1
linux_build=$(realpath "$2")
client_dll=$(realpath "$3")
data=$(realpath "$4")
address=$5
scripts=$(cd "$(dirname "$0")/scripts" && pwd)
export WINEDEBUG=-all

# shellcheck source=kestrod_for_wine.sh
source "$(dirname "$0")/kestrod_for_wine.sh"
# shellcheck source=wine_case_steps.sh
source "$(dirname "$0")/wine_case_steps.sh"

clsid_key='HKCR\CLSID\{6E0B5C3A-2F41-4D8B-9A7E-3C15D2B8F401}'
progid_key='HKCR\Kestro.Client.1'
dll_windows_path=$(wine winepath -w "$client_dll" 2>/dev/null | tr -d '\r')

register() {
    wine regsvr32 /s "$client_dll" || fail "regsvr32 /s answered $?"
}

# The class's keys as reg prints them, line ends made Unix ones and the module named DLL.
query_keys() {
    local status=0
    { wine reg query "$clsid_key" /s && wine reg query "$progid_key" /s; } >"$work/query.raw" 2>&1 ||
        status=$?
    tr -d '\r' <"$work/query.raw" | sed "s|$(printf '%s' "$dll_windows_path" | sed 's/[\\.]/\\&/g')|DLL|g"
    return $status
}

start_server() {
    start_kestrod station --clock manual
}

case $case_name in
    registration)
        register
        query_keys >"$work/registered.out" || fail "the class's keys are missing after regsvr32"
        same_as kestro_client_registration.txt "$work/registered.out"
        wine regsvr32 /u /s "$client_dll" || fail "regsvr32 /u /s answered $?"
        wine reg query "$clsid_key" >/dev/null 2>&1 && fail "the CLSID key is left after /u"
        wine reg query "$progid_key" >/dev/null 2>&1 && fail "the ProgID key is left after /u"
        # Unregistering what is not registered is no failure, as regsvr32 /u runs in uninstalls.
        wine regsvr32 /u /s "$client_dll" || fail "a second regsvr32 /u /s answered $?"
        echo "registered, queried and unregistered $dll_windows_path"
        ;;
    vbscript | jscript)
        register
        start_server
        # A lifted hose gives the pump's status a grade, its name and its price.
        "$linux_build/kestro/ctl/kestroctl" --server "$address" lift 1 2 >/dev/null
        if [ "$case_name" = vbscript ]; then
            run_script kestro_client.vbs
            same_as kestro_client_vbscript.txt "$work/script.out"
        else
            run_script kestro_client.js
            same_as kestro_client_jscript.txt "$work/script.out"
        fi
        echo "$case_name drove Kestro.Client.1 as expected"
        ;;
    events)
        register
        start_server
        start_host "$address" 20
        wait_for "pump 1 registered" 200
        "$linux_build/kestro/ctl/kestroctl" --server "$address" lift 1 2 >/dev/null
        wait_for StatusEventSink 200
        host_printed kestro_client_events.txt
        echo "the container received the pump's status and the lost connection"
        ;;
    *)
        fail "unknown case $case_name"
        ;;
esac
