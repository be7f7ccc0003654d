#!/usr/bin/env bash
# The tools' messages for number words that are not whole, not base 10 or out of range: each
# names the option or command and the word, and the tool stops with its usage status (or, in a
# control-host script, prints the error and goes on). Each case compares the exact first lines
# and the exit status.
# usage: number_word_messages.sh CONTROL_HOST TOLVAN_FACE KESTROCTL KESTROD FORECOURT LATENCY_LINK
set -uo pipefail
host=$1
face=$2
ctl=$3
kestrod=$4
forecourt=$5
link=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"  # nothing that a tool might write lands elsewhere
export FORECOURT_REGISTRY=$work/registry
failures=0

# expect NAME STATUS LINES EXPECTED COMMAND...: the first LINES lines of both outputs of COMMAND.
expect() {
    local name=$1 status=$2 lines=$3 expected=$4
    shift 4
    local out
    out=$(timeout 20 "$@" 2>&1)
    local got=$?
    out=$(head -n "$lines" <<<"$out")
    if [[ $got != "$status" || $out != "$expected" ]]; then
        echo "FAIL $name: status $got (expected $status), output:"
        echo "$out"
        echo "expected:"
        echo "$expected"
        failures=$((failures + 1))
    fi
}

expect "control-host numbers" 1 9 \
"error: wait needs milliseconds from 0 to 600000, not '5s'
error: wait needs milliseconds from 0 to 600000, not '600001'
error: click X needs a whole number from -32768 to 32767, not '1e3'
error: dblclick Y needs a whole number from -32768 to 32767, not '0x10'
error: show Y needs a whole number from -32768 to 32767, not '+2'
error: BackColor needs a colour 0x00BBGGRR or a decimal number from 0 to 4294967295, not 'red'
error: LocaleID needs a colour 0x00BBGGRR or a decimal number from 0 to 4294967295, not '0x1FFFFFFFF'
error: client CALLPORT needs a port number from 1 to 65535, not '70000'
error: client EVENTSPORT needs a port number from 1 to 65535, not '51 24'" \
    bash -c "printf '%s\n' 'wait 5s' 'wait 600001' 'click 1e3 5' 'dblclick 5 0x10' 'show 1 +2' \
        'ambient BackColor red' 'ambient LocaleID 0x1FFFFFFFF' 'client 127.0.0.1 70000' \
        'client 127.0.0.1 5123 \"51 24\"' | '$host'"
# A leading zero is no octal: "wait 010" is ten milliseconds, and valid.
expect "control-host wait 010" 0 1 "" bash -c "printf 'wait 010\n' | '$host'"

expect "tolvan-face --scale 4x" 2 1 \
    "tolvan-face: --scale needs a whole number from 1 to 16, not '4x'" \
    "$face" --scale 4x -o face.png
expect "tolvan-face --state 5.0" 2 1 \
    "tolvan-face: --state needs a whole number from -32768 to 32767, not '5.0'" \
    "$face" --state 5.0 -o face.png
expect "tolvan-face --state without a value" 2 1 \
    "tolvan-face: --state needs a whole number from -32768 to 32767" "$face" --state
expect "tolvan-face --number 0x10" 2 1 \
    "tolvan-face: --number needs a whole number from -99999 to 99999, not '0x10'" \
    "$face" --number 0x10 -o face.png
expect "tolvan-face --volume 1,5" 2 1 \
    "tolvan-face: --volume needs an amount such as 12.345 (with a full stop), not '1,5'" \
    "$face" --volume 1,5 -o face.png
expect "tolvan-face --price inf" 2 1 \
    "tolvan-face: --price needs an amount such as 12.345 (with a full stop), not 'inf'" \
    "$face" --price inf -o face.png

expect "kestroctl tick 0x10" 2 1 "kestroctl: tick: '0x10' is no number" "$ctl" tick 0x10
expect "kestroctl lift +1" 2 1 "kestroctl: lift: '+1' is no number" "$ctl" lift 3 +1
expect "kestroctl flow nan" 2 1 "kestroctl: flow: 'nan' is no number" "$ctl" flow nan
expect "kestroctl --call-port 5123x" 2 1 "kestroctl: bad option '--call-port 5123x'" \
    "$ctl" --call-port 5123x status

expect "kestrod --call-port 0x10" 2 2 \
"kestrod: --call-port needs a port number from 0 to 65535, not '0x10'
Try 'kestrod --help'." "$kestrod" --call-port 0x10
expect "kestrod --idle-timeout 0x10" 2 1 \
    "kestrod: --idle-timeout needs seconds between 0 and 86400, not '0x10'" \
    "$kestrod" --idle-timeout 0x10
expect "kestrod --seed 4294967296" 2 1 \
    "kestrod: --seed needs a number from 0 to 4294967295, not '4294967296'" \
    "$kestrod" --seed 4294967296
expect "kestrod --flow-rate inf" 2 1 \
    "kestrod: --flow-rate needs litres per second above 0 and up to 100, not 'inf'" \
    "$kestrod" --flow-rate inf

expect "forecourt --zoom 2x" 2 1 "forecourt: --zoom needs a whole number from 1 to 8, not '2x'" \
    "$forecourt" --zoom 2x
expect "forecourt --seconds 1e9" 2 1 \
    "forecourt: --seconds needs seconds from 0 to 86400, not '1e9'" "$forecourt" --seconds 1e9
expect "forecourt --call-port 070000" 2 1 \
    "forecourt: --call-port needs a port number from 1 to 65535, not '070000'" \
    "$forecourt" --call-port 070000

expect "latency-link --listen :+80" 2 1 \
    "latency-link: --listen needs ADDRESS:PORT, not '127.0.0.1:+80'" \
    "$link" --listen 127.0.0.1:+80 --to 127.0.0.1:81 --delay 1 --for 1
expect "latency-link --delay 0x10" 2 1 \
    "latency-link: --delay needs milliseconds from 0 to 60000, not '0x10'" \
    "$link" --listen 127.0.0.1:80 --to 127.0.0.1:81 --delay 0x10 --for 1
exit $((failures > 0))
