#!/usr/bin/env bash
# forecourt-rc as a user runs it on what is not a regular file: the output on a pipe
# (/dev/stdout), a FIFO and an endless character device (as output and as depfile), a script
# of binary bytes whose error line must not reach the terminal raw, and a regular output
# left untouched when unchanged. Every special file is made in a scratch folder; each case
# has a time limit, since the old compiler hung or ate memory on them.
# usage: forecourt_rc_probe.sh FORECOURT_RC
set -uo pipefail
rc=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() {
    echo "FAIL $1"
    failures=$((failures + 1))
}

printf '1 RCDATA\nBEGIN\n  1, 2\nEND\n' >ok.rc
"$rc" ok.rc regular.cpp forecourt_resources_probe || fail "ok.rc does not compile"

# The output on a pipe: written through, the same bytes as to a regular file.
timeout 20 "$rc" ok.rc /dev/stdout forecourt_resources_probe | cat >piped.cpp
[[ ${PIPESTATUS[0]} == 0 ]] || fail "/dev/stdout on a pipe: status ${PIPESTATUS[0]}"
cmp -s piped.cpp regular.cpp || fail "/dev/stdout on a pipe: not the regular output"
count=$(timeout 20 "$rc" ok.rc /dev/stdout forecourt_resources_probe | wc -c)
[[ $count == $(wc -c <regular.cpp) ]] || fail "/dev/stdout | wc -c counted $count"

# A FIFO with a reader, as output.
mkfifo out.fifo
timeout 20 cat out.fifo >from_fifo.cpp &
reader=$!
timeout 20 "$rc" ok.rc out.fifo forecourt_resources_probe || fail "FIFO output: status $?"
wait "$reader"
cmp -s from_fifo.cpp regular.cpp || fail "FIFO output: the reader did not get the output"

# An endless character device (the numbers of /dev/zero) as output and as depfile.
if mknod zero c 1 5 2>/dev/null; then
    timeout 20 "$rc" ok.rc zero forecourt_resources_probe || fail "device output: status $?"
    timeout 20 "$rc" ok.rc regular.cpp forecourt_resources_probe --depfile zero ||
        fail "device depfile: status $?"
    [[ -c zero ]] || fail "the device was replaced"
else
    echo "note: this user cannot make device nodes; the device cases are skipped"
fi

# A folder as output: a clear error.
mkdir folder
out=$("$rc" ok.rc folder forecourt_resources_probe 2>&1)
status=$?
[[ $status == 1 && $out == "forecourt-rc: cannot write folder: Is a directory" ]] ||
    fail "folder output: status $status, said: $out"

# An unchanged regular output keeps its time stamp (the build does not recompile it).
touch -d '2001-01-01 00:00:00 UTC' regular.cpp
"$rc" ok.rc regular.cpp forecourt_resources_probe
[[ $(stat -c %Y regular.cpp) == 978307200 ]] || fail "an unchanged output was rewritten"

# A binary script: its bytes are escaped in the error line.
printf '1 DIALOGEX 0, 0, 10, 10\nBEGIN\n\x1b[2J\x9b\nEND\n' >binary.rc
out=$("$rc" binary.rc binary.cpp forecourt_resources_probe 2>&1)
status=$?
expected='forecourt-rc: binary.rc:3: unknown control \x1B'
[[ $status == 1 && $out == "$expected" ]] || fail "binary script: status $status, said: $(printf %q "$out")"
[[ ! -e binary.cpp ]] || fail "binary script: an output was written"

if ((failures)); then
    exit 1
fi
echo "forecourt-rc: pipes, FIFOs, devices, folders and binary scripts handled"
