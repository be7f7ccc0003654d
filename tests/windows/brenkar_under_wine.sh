#!/usr/bin/env bash
# brenkar.exe under Wine against the Linux kestrod over loopback, held against the Linux
# brenkar: for each case both programs run the same command against the same server, and
# what they print, their exit status and the files they write must agree.
# Usage: brenkar_under_wine.sh CASE LINUX_BUILD BRENKAR_EXE ADDRESS
#   CASE         export_sample, export_max, version, import, check_verify, second_export,
#                no_server, refused_target, injected_failure
#   LINUX_BUILD  the Linux build tree (kestro/server/kestrod, transfer/brenkar)
#   ADDRESS      a loopback address of this case's own (brenkar always calls port 5123)
# WINEPREFIX names the private prefix. Both programs run with the same locale and time zone,
# so that the export's DateGenerated stamp is formatted alike.
set -euo pipefail
case_name=$1
linux_build=$(realpath "$2")
brenkar_exe=$(realpath "$3")
address=$4
brenkar_linux=$linux_build/transfer/brenkar
# Wine takes the user's locale from LC_ALL (LANG alone where that locale is installed), the
# layer from LC_ALL or LANG: both get it, only in the programs' own environment.
locale=${LOCALE_UNDER_TEST:-en_US.UTF-8}
export TZ=${TZ:-UTC}
export WINEDEBUG=-all
# shellcheck source=kestrod_for_wine.sh
source "$(dirname "$0")/kestrod_for_wine.sh"

# start_server NAME STATION [kestrod options...]: a kestrod on ADDRESS with the database NAME.db.
start_server() {
    local name=$1 station=$2
    shift 2
    start_kestrod "$name" --station "$station" "$@"
}

stop_server() {
    stop_kestrod
}

# run SIDE NAME ARGS...: runs brenkar of SIDE (linux or windows) in the work folder; its
# output (console line ends made Unix ones, the address named ADDRESS) goes to NAME.SIDE,
# its exit status to NAME.SIDE.status.
run() {
    local side=$1 name=$2
    shift 2
    local status=0
    if [ "$side" = linux ]; then
        (cd "$work" && LANG=$locale LC_ALL=$locale "$brenkar_linux" "$@") >"$work/$name.raw" 2>&1 || status=$?
    else
        (cd "$work" && LANG=$locale LC_ALL=$locale wine "$brenkar_exe" "$@") >"$work/$name.raw" 2>&1 </dev/null || status=$?
    fi
    tr -d '\r' <"$work/$name.raw" | sed "s/$address/ADDRESS/g" >"$work/$name.$side"
    echo "$status" >"$work/$name.$side.status"
}

# same_run NAME: the two sides of NAME printed the same and ended with the same status.
same_run() {
    local name=$1
    diff -u "$work/$name.linux" "$work/$name.windows" >&2 ||
        fail "$name: brenkar.exe printed otherwise than brenkar"
    diff "$work/$name.linux.status" "$work/$name.windows.status" >&2 ||
        fail "$name: exit status $(cat "$work/$name.windows.status") under Wine," \
            "$(cat "$work/$name.linux.status") on Linux"
    echo "$name: same output, exit status $(cat "$work/$name.linux.status")"
}

# Each digit of the stamp becomes N: two runs a few seconds apart give the same form, and a
# different date or time format shows.
stamp_form() {
    sed -E '/^DateGenerated=/ s/[0-9]/N/g' "$1"
}

# same_file A B: byte for byte the same, but for the digits of the DateGenerated stamp.
same_file() {
    cmp -s <(stamp_form "$work/$1") <(stamp_form "$work/$2") || {
        diff -u <(stamp_form "$work/$1") <(stamp_form "$work/$2") | head -40 >&2
        fail "$2 differs from $1"
    }
    grep -q '^DateGenerated=.*[0-9]' "$work/$2" || fail "$2 has no DateGenerated stamp"
    echo "$2: the same $(wc -c <"$work/$2") bytes as $1 (stamp: $(grep -a ^DateGenerated= "$work/$2" | tr -d '\r'))"
}

# expect_status NAME CODE: the Windows side of NAME ended with CODE.
expect_status() {
    [ "$(cat "$work/$1.windows.status")" = "$2" ] ||
        fail "$1: exit status $(cat "$work/$1.windows.status"), expected $2"
}

export_both() {
    local station=$1
    start_server "$station" "$station"
    run linux export EXPORT linux.ini "$address"
    run windows export EXPORT windows.ini "$address"
    stop_server
    same_run export
    expect_status export 0
    same_file linux.ini windows.ini
}

case $case_name in
    export_sample) export_both sample ;;
    export_max) export_both max ;;
    version)
        start_server sample sample
        run linux version VERSION linux.ini "$address"
        run windows version VERSION windows.ini "$address"
        same_run version
        expect_status version 0
        same_file linux.ini windows.ini
        ;;
    import)
        # The sample's export, restored by each program into an empty controller and exported
        # again: the same file on either side, and the first one but for what a restore cannot
        # give back (the firmware a device reports, a port's radio settings).
        start_server sample sample
        run windows export EXPORT sample.ini "$address"
        stop_server
        start_server empty_linux empty
        run linux import IMPORT sample.ini "$address"
        run linux again EXPORT restored_linux.ini "$address"
        stop_server
        start_server empty_windows empty
        run windows import IMPORT sample.ini "$address"
        run windows again EXPORT restored_windows.ini "$address"
        stop_server
        same_run import
        same_run again
        expect_status import 0
        same_file restored_linux.ini restored_windows.ini
        awk 'BEGIN { RS = "\r\n"; ORS = "\r\n" }
             /^\[/ { port = /^\[Port/ }
             /^FirmwareVersion=/ { $0 = "FirmwareVersion=" }
             port && /^PanID=/ { $0 = "PanID=0x0000" }
             port && /^Channels=/ { $0 = "Channels=" }
             port && /^Key[AB]=/ { sub(/=.*/, "=0x0000000000000000") }
             { print }' "$work/sample.ini" >"$work/sample_restorable.ini"
        same_file sample_restorable.ini restored_windows.ini
        ;;
    check_verify)
        start_server sample sample
        run linux export EXPORT sample.ini "$address"
        run linux check CHECK sample.ini
        run windows check CHECK sample.ini
        run linux verify VERIFY sample.ini "$address"
        run windows verify VERIFY sample.ini "$address"
        # A price changed in the file: VERIFY finds the difference on either system.
        sed 's/^Price1=.*/Price1=9.999\r/' "$work/sample.ini" >"$work/changed.ini"
        run linux changed VERIFY changed.ini "$address"
        run windows changed VERIFY changed.ini "$address"
        # A file that is no configuration: CHECK refuses it alike.
        printf '[Nothing]\r\nKey=1\r\n' >"$work/nothing.ini"
        run linux nothing CHECK nothing.ini
        run windows nothing CHECK nothing.ini
        stop_server
        for name in check verify changed nothing; do same_run "$name"; done
        expect_status check 0
        expect_status verify 0
        [ "$(cat "$work/changed.windows.status")" != 0 ] || fail "VERIFY of a changed file gave 0"
        ;;
    second_export)
        # A second export to the file the first is still writing is refused, and the first
        # completes: the Windows build's lock on the partial file, across two processes.
        start_server max max
        (cd "$work" && LANG=$locale LC_ALL=$locale wine "$brenkar_exe" EXPORT race.ini "$address" \
            >"$work/first.raw" 2>&1 </dev/null) &
        first_pid=$!
        for _ in $(seq 300); do
            [ "$(stat -c %s "$work/race.ini.partial" 2>/dev/null || echo 0)" -lt 100000 ] || break
            sleep 0.1
        done
        run windows second EXPORT race.ini "$address"
        first_status=0
        wait "$first_pid" || first_status=$?
        stop_server
        expect_status second 255
        tail -n 1 "$work/second.windows" |
            grep -qx "Cannot write the file race.ini - another export is writing it." ||
            fail "the second export printed: $(cat "$work/second.windows")"
        [ "$first_status" = 0 ] || fail "the first export ended with $first_status"
        tr -d '\r' <"$work/first.raw" | tail -n 1 | grep -qx "All done." ||
            fail "the first export printed: $(cat "$work/first.raw")"
        [ "$(stat -c %s "$work/race.ini")" -gt 8000000 ] || fail "race.ini is short"
        grep -q '^\[Product9999\]' "$work/race.ini" || fail "race.ini lacks its last product"
        [ ! -e "$work/race.ini.partial" ] || fail "the partial file was left behind"
        echo "second_export: refused while the first wrote; the first completed"
        ;;
    no_server)
        run linux export EXPORT linux.ini "$address"
        run windows export EXPORT windows.ini "$address"
        same_run export
        expect_status export 255
        [ ! -e "$work/windows.ini" ] || fail "a failed export left windows.ini"
        ;;
    refused_target)
        # A folder where the file should go: the export is refused before any call.
        start_server sample sample
        mkdir "$work/target.ini"
        run linux export EXPORT target.ini "$address"
        run windows export EXPORT target.ini "$address"
        same_run export
        expect_status export 255
        ;;
    injected_failure)
        start_server sample sample --fail GetTanksCount=-3
        run linux export EXPORT linux.ini "$address"
        run windows export EXPORT windows.ini "$address"
        same_run export
        expect_status export 255
        [ ! -e "$work/windows.ini" ] || fail "a failed export left windows.ini"
        ;;
    *) fail "unknown case $case_name" ;;
esac
