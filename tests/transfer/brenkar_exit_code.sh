#!/usr/bin/env bash
# The built brenkar program as the shell sees it: a usage error prints the usage text and
# reaches the shell as exit status 255 (the program's -1).
# Usage: brenkar_exit_code.sh PATH_TO_BRENKAR
set -uo pipefail
brenkar=$1
expected='Brenkar IMPORT | EXPORT | VERSION <destination INI file name> [<server name>|<server IP>] [/PAM | /Company] '

output=$("$brenkar" EXPORT)
status=$?
if [ "$status" -ne 255 ]; then
    echo "brenkar EXPORT exited with $status, expected 255" >&2
    exit 1
fi
if [ "$output" != "$expected" ]; then
    printf 'brenkar EXPORT printed:\n%s\nexpected:\n%s\n' "$output" "$expected" >&2
    exit 1
fi
echo "brenkar EXPORT: usage text and exit status 255"
