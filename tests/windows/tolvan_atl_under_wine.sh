#!/usr/bin/env bash
# Tolvan.OCX in a container we did not write: Wine's atl.dll places each control through its
# AtlAxWin window class, and the host program (ATL_HOST, hosts/tolvan_atl_host.cpp) runs a
# script of commands against it while the Linux kestrod drives the pump (kestroctl). What the
# host prints for its commands is compared with tests/data/windows/tolvan_atl_CASE.txt; each
# capture of the control's face is compared with the Linux headless picture of the same state
# (tolvan-face) by face-compare. Every capture stays in the test's folder (the working folder);
# with PRINTED_DIR set the captures and outputs are copied there too.
# Usage: tolvan_atl_under_wine.sh CASE LINUX_BUILD CLIENT_DLL TOLVAN_OCX DATA_DIR ADDRESS
#   CASE         face, repaint, popup, popup_pt_BR, properties
#   LINUX_BUILD  the Linux build tree (kestrod, kestroctl, tolvan-face, face-compare)
#   DATA_DIR     tests/data/windows
#   ADDRESS      a loopback address of this case's own
#
# The display: the private prefix runs on Wine's null driver, which paints nothing, so that
# the other cases need no X server. These cases run under xvfb-run in a Wine desktop of their
# own that names the x11 driver (explorer /desktop=NAME,WxH,x11: Wine 8's explorer takes the
# driver as the third part of the desktop's argument and loads it for that desktop alone). That
# costs one Xvfb start per case and no second prefix, whose making (15 to 30 seconds) and
# registrations would be paid again; the prefix's own setting stays null for everything else.
set -euo pipefail
# shellcheck source=kestrod_for_wine.sh
source "$(dirname "$0")/kestrod_for_wine.sh"
# shellcheck source=wine_case_steps.sh
source "$(dirname "$0")/wine_case_steps.sh"
tolvan_case_arguments "$@"
[ "$case_name" = popup_pt_BR ] && export LC_ALL=pt_BR.UTF-8 LANG=pt_BR.UTF-8
folder=$PWD
tolvan_face=$linux_build/apps/tolvan-face/tolvan-face
face_compare=$linux_build/tools/face_compare/face-compare
command -v xvfb-run >/dev/null || fail "xvfb-run is missing (package xvfb)"
rm -f "$folder"/*.png "$folder"/host.* "$folder"/*.txt

# The host runs SCRIPT (a file of the test's folder) with the pumps given, in the background, in
# a process group of its own with its Xvfb: a run that is cut short ends them all.
start_atl_host() {
    local script=$1 program script_path
    shift
    [ -n "${ATL_HOST:-}" ] || fail "ATL_HOST names no host program"
    program=$(wine winepath -w "$ATL_HOST" 2>/dev/null | tr -d '\r')
    script_path=$(wine winepath -w "$folder/$script" 2>/dev/null | tr -d '\r')
    host_out=$folder/host.out
    setsid xvfb-run -a -s '-screen 0 800x600x24' \
        wine explorer "/desktop=tolvan-atl-$case_name-$$,640x400,x11" \
        "$program" "$address" "$script_path" "$@" >"$host_out" 2>&1 </dev/null &
    host_pid=$!
    stop_on_exit "-$host_pid"
}

# While the host runs: each "say kestroctl ARGS" line it prints runs kestroctl ARGS, in order,
# so that a case's script says when the pump is to change. Gives up after 120 seconds.
drive_host() {
    local done=0 tries=0 lines words
    while kill -0 "$host_pid" 2>/dev/null && ((tries++ < 1200)); do
        mapfile -t lines < <(tr -d '\r' <"$host_out" | grep '^say kestroctl ' || true)
        while ((done < ${#lines[@]})); do
            read -ra words <<<"${lines[done]#say kestroctl }"
            kestroctl "${words[@]}"
            ((++done))
        done
        sleep 0.1
    done
}

# The host has ended (its last line "host ended"; explorer does not pass its exit status on)
# and printed for its commands what data/tolvan_atl_NAME.txt says. Its event lines are left
# out: their number depends on timing; the script's wait-event lines hold the ones that matter.
host_finished() {
    wait "$host_pid" || true
    tr -d '\r' <"$host_out" >"$folder/host.txt"
    if ! grep -qx 'host ended' "$folder/host.txt"; then
        cat "$folder/host.txt" >&2
        fail "the host did not end cleanly"
    fi
    grep -v '^event ' "$folder/host.txt" >"$folder/commands.txt"
    same_as "tolvan_atl_$1.txt" "$folder/commands.txt"
}

# The capture NAME.png of the test's folder against tolvan-face's picture of the same state
# (the options after NAME), written beside it as NAME.linux.png; a mismatch leaves
# NAME.diff.png.
same_face() {
    local name=$1
    shift
    "$tolvan_face" "$@" -o "$folder/$name.linux.png" >/dev/null ||
        fail "tolvan-face $* answered $?"
    if ! "$face_compare" "$folder/$name.linux.png" "$folder/$name.png" \
        --diff "$folder/$name.diff.png" >"$folder/$name.compare.txt" 2>&1; then
        cat "$folder/$name.compare.txt" >&2
        fail "the face $name under Wine is not the Linux face (tolvan-face $*)"
    fi
    echo "face $name: $(head -n 1 "$folder/$name.compare.txt")"
}

copy_printed() {
    [ -n "${PRINTED_DIR:-}" ] || return 0
    local png
    for png in "$folder"/*.png; do
        [ -e "$png" ] && cp "$png" "$PRINTED_DIR/tolvan_atl_${case_name}_$(basename "$png")"
    done
}

# Pump 1 of the sample station is "Bomba 1", number 1, idle and locked (state 3) with no grade
# yet; hose 2 is grade 2, short name GA, at 6.099. With the server's manual clock a second and a
# half of delivery is 0.25 L for 1.52.
case $case_name in
    face)
        register_modules
        start_kestrod station --clock manual
        cat >"$folder/face.script" <<'EOF'
# Two pumps, each in a site of 100 by 70: each control sets itself back to 80 by 80 at its first
# paint.
wait 500
size 1
size 2
fit 1
fit 2
size 1
capture 1 idle.png
capture 2 idle-2.png
say kestroctl lift 1 2
wait-event StatusEvent State=6
capture 1 calling.png
reset-counts
wait 1500
expect-ticks 1 1 1
capture 1 calling-off.png
say kestroctl authorise 1
wait-event StatusEvent State=7
say kestroctl tick 1500
wait-event StatusEvent State=8 ReservedFor=0 ReservedBy=-1 HoseID=12 HoseNumber=2 GradeID=2 GradeName="Gasolina Aditivada" ShortGradeName="GA" PriceLevel=1 Price=6.099 Volume=0.25
wait 300
capture 1 delivering.png
say kestroctl hang 1
wait-event StatusEvent State=3
wait 300
capture 1 unpaid.png
quit
EOF
        start_atl_host face.script 1 2
        drive_host
        host_finished face
        # Wine's AtlAxWin site answers no ambient property; the pump's display formats are
        # the sample station's (price 1 decimal, volume and value 2).
        site=(--back-colour none --formats 3,2,2 --number 1)
        same_face idle --state 3 --grade "" "${site[@]}"
        same_face idle-2 --state 3 --grade "" --back-colour none --formats 3,2,2 --number 2
        common=("${site[@]}" --grade GA --price 6.099)
        same_face calling --state 6 --hose 2 --blink on "${common[@]}"
        same_face calling-off --state 6 --hose 2 --blink off "${common[@]}"
        same_face delivering --state 8 --hose 2 --volume 0.25 --value 1.52 "${common[@]}"
        same_face unpaid --state 3 --current-delivery plain --volume 0.25 --value 1.52 \
            "${common[@]}"
        copy_printed
        echo "the faces under Wine's AtlAxWin are the Linux faces"
        ;;
    repaint)
        register_modules
        start_kestrod station --clock manual
        cat >"$folder/repaint.script" <<'EOF'
wait 500
fit 1
wait 300
paints 1
# Entering state 6 with beeps on: a beep at once, the whole face repainted without erasing,
# the blink timer started.
set 1 BeepEnabled 1
reset-counts
say kestroctl lift 1 2
wait-event StatusEvent State=6
wait 300
expect-beeps 1 1
paints 1
# Then a tick a second, each beeping and repainting the whole face, erased, for the blink.
reset-counts
wait 3300
expect-ticks 1 2 4
expect-beeps 2 4
paints 1
set 1 BeepEnabled 0
reset-counts
wait 2200
expect-ticks 1 1 3
expect-beeps 0 0
# Leaving state 6 kills the timer; the new state repaints the whole face without erasing (a
# blink's erased paint may come just before it).
paints 1
say kestroctl authorise 1
wait-event StatusEvent State=7
wait 300
paints-include 1 0,0,80,80
reset-counts
wait 1500
expect-ticks 1 0 0
# The pump starts (a new state: the whole face), then fuel runs: only the volume and value
# readouts repaint.
say kestroctl tick 1000
wait-event StatusEvent State=8
wait 300
paints 1
say kestroctl tick 100
wait-event Volume=0.05
wait 300
paints 1
say kestroctl tick 100
wait-event Volume=0.1
wait 300
paints 1
quit
EOF
        start_atl_host repaint.script 1
        drive_host
        host_finished repaint
        echo "the control repainted what its status changes and its blink invalidate"
        ;;
    popup | popup_pt_BR)
        register_modules
        start_kestrod station --clock manual
        cat >"$folder/popup.script" <<'EOF'
wait 500
fit 1
# PopupMode 2, state 3 and no delivery: the click opens the popup, a modal "#32770" owned by
# the container's window; the buttons as state 3 allows them.
set 1 PopupMode 2
click 1 40 40
wait 700
dialog
capture-dialog popup-idle.png
dialog-item 209
dialog-item 210
dialog-item 211
dialog-item 202
dialog-item 203
dialog-item 204
dialog-item 208
dialog-item 201
# Authorise: the pump is authorised on the server (state 5).
click-dialog 203
wait-event StatusEvent State=5
dialog
# The server's own word (kestroctl's status, run by the test while the host waits).
say kestroctl status 1
wait 1500
# State 5 with no delivery: the click cancels the authorisation; the server answers 0, not
# 25, so the popup opens after it.
click 1 40 40
wait-event StatusEvent State=3
wait 500
dialog
key Escape
wait 500
dialog
# State 6: the click authorises at once.
say kestroctl lift 1 2
wait-event StatusEvent State=6
click 1 40 40
wait-event StatusEvent State=7
dialog
say kestroctl tick 1500
wait-event Volume=0.25
say kestroctl hang 1
wait-event StatusEvent State=3
# One current delivery in state 3: the click chooses it, no popup.
click 1 40 40
wait-event DeliverySelectedEvent DeliveryID=1
dialog
# A second delivery; the first is stacked.
say kestroctl lift 1 1
wait-event StatusEvent State=6
say kestroctl authorise 1
wait-event StatusEvent State=7
say kestroctl tick 1500
wait-event StatusEvent State=8 ReservedFor=0 ReservedBy=-1 HoseID=11 HoseNumber=1 GradeID=1 GradeName="Gasolina Comum" ShortGradeName="GC" PriceLevel=1 Price=5.899 Volume=0.25
say kestroctl hang 1
wait-event StatusEvent State=3
# Two deliveries: the popup lists them newest first, drawn by the list's owner (WM_DRAWITEM);
# the arrows only move the highlight, 3 is no row, 2 chooses the older delivery.
click 1 40 40
wait 700
capture-dialog popup.png
dialog-item 203
dialog-item 204
key Down
key Down
key Up
key 3
wait 300
dialog
key 2
wait-event DeliverySelectedEvent DeliveryID=1
dialog
# PopupMode 3: Escape closes the popup with nothing chosen; Return chooses the highlighted
# first row, the newest delivery.
set 1 PopupMode 3
click 1 40 40
wait 700
key Escape
wait 500
dialog
click 1 40 40
wait 700
key Return
wait-event DeliverySelectedEvent DeliveryID=2
dialog
# Stop in state 5 (authorised on the server): the popup's Stop button cancels the
# authorisation.
say kestroctl authorise 1
wait-event StatusEvent State=5
click 1 40 40
wait 700
dialog-item 202
click-dialog 202
wait-event StatusEvent State=3
dialog
say kestroctl status 1
wait 1500
quit
EOF
        start_atl_host popup.script 1
        drive_host
        host_finished "$case_name"
        cp "$work/kestroctl.out" "$folder/kestroctl.txt"
        same_as tolvan_atl_popup_kestroctl.txt "$folder/kestroctl.txt"
        copy_printed
        echo "the popup under Wine's USER did what a click and the keyboard asked"
        ;;
    properties)
        register_modules
        start_kestrod station --clock manual
        cat >"$folder/properties.script" <<'EOF'
wait 500
fit 1
# The AtlAxWin site has no ShowPropertyFrame: the control shows the system's property frame.
verb 1 properties
wait 1000
dialog
capture-dialog property-page.png
close-dialog
wait 700
dialog
quit
EOF
        start_atl_host properties.script 1
        drive_host
        host_finished properties
        copy_printed
        echo "the property page showed in the system's property frame and closed"
        ;;
    *)
        fail "unknown case $case_name"
        ;;
esac
