#!/usr/bin/env bash
# The tools' messages for what a careless user hands them: control-host with a device, a folder
# or an endless line as its script, an error text that must not outlive its command, and a
# picture painted over a device node, a FIFO, a folder or a planted link;
# regsvr with a registry file that is garbage, a folder or immutable. Each case compares the
# exact output and exit status.
# usage: tool_messages.sh CONTROL_HOST REGSVR MODULE
set -uo pipefail
host=$1
regsvr=$2
module=$(realpath "$3")
work=$(mktemp -d)
trap 'chattr -i "$work/registry" 2>/dev/null; rm -rf "$work"' EXIT
export FORECOURT_REGISTRY=$work/registry
failures=0

# expect NAME STATUS EXPECTED-OUTPUT COMMAND...: runs COMMAND (both outputs) with a time limit.
expect() {
    local name=$1 status=$2 expected=$3
    shift 3
    local out
    out=$(timeout 20 "$@" 2>&1)
    local got=$?
    if [[ $got != "$status" || $out != "$expected" ]]; then
        echo "FAIL $name: status $got (expected $status), output:"
        echo "$out"
        echo "expected:"
        echo "$expected"
        failures=$((failures + 1))
    fi
}

expect "script is a device" 2 "control-host: cannot open /dev/zero - not a regular file or a pipe" \
    "$host" /dev/zero
expect "script is a folder" 2 "control-host: cannot open $work - Is a directory" "$host" "$work"
expect "endless line on standard input" 2 \
    "control-host: line 1 is too long (more than 1048576 bytes); the script is not read further" \
    bash -c "head -c 3000000 /dev/zero | '$host'"
expect "long line after a good one" 2 \
    "control-host: line 2 is too long (more than 1048576 bytes); the script is not read further" \
    bash -c "{ printf '\n'; head -c 2000000 /dev/zero; } | '$host'"
expect "script through a pipe" 0 "" bash -c "printf '\n\n' | '$host' /dev/stdin"
expect "each create reports its own error" 1 \
"error: no class is registered with the ProgID \"NO.Such\" (Invalid class string (0x800401F3))
error: \"{bad}\" is not a class (Invalid class string (0x800401F3))" \
    bash -c "printf 'create NO.Such\ncreate {bad}\n' | '$host'"

# paint replaces only a regular file: a device node, a FIFO or a folder at the path is refused
# and left as it was; a link is followed, and a link planted at the partial name is not.
"$regsvr" "$module" >/dev/null
# paint PATH: the command with which control-host puts the test control in place and paints it
# to PATH (its output without the lines of create and show).
paint() {
    echo "set -o pipefail; printf 'create FORECOURT.TestCtrl.1\nshow 0 0\npaint %s\n' '$1' | '$host' |
          grep -v '^created\|^window='"
}
mkdir "$work/pictures"
mkfifo "$work/pictures/fifo.png"
mkdir "$work/pictures/folder.png"
for node in fifo folder; do
    expect "paint to a $node" 1 "error: cannot write $work/pictures/$node.png: not a regular file" \
        bash -c "$(paint "$work/pictures/$node.png")"
done
[ -p "$work/pictures/fifo.png" ] && [ -d "$work/pictures/folder.png" ] ||
    { echo "FAIL paint replaced a FIFO or a folder"; failures=$((failures + 1)); }
if mknod "$work/pictures/full.png" c 1 7 2>/dev/null; then
    expect "paint to a device node" 1 \
        "error: cannot write $work/pictures/full.png: not a regular file" \
        bash -c "$(paint "$work/pictures/full.png")"
    [ -c "$work/pictures/full.png" ] ||
        { echo "FAIL paint replaced a device node"; failures=$((failures + 1)); }
else
    echo "paint to a device node not tried: mknod is not allowed here"
fi
printf 'notes\n' >"$work/pictures/victim.txt"
ln -s victim.txt "$work/pictures/shot.png.partial"
ln -s shot.png "$work/pictures/link.png"
expect "paint through a link, past a planted partial link" 0 \
    "painted=$work/pictures/link.png 160x120" bash -c "$(paint "$work/pictures/link.png")"
[ "$(cat "$work/pictures/victim.txt")" = notes ] && [ -L "$work/pictures/link.png" ] &&
    [ "$(head -c 4 "$work/pictures/shot.png" | tail -c 3)" = PNG ] ||
    { echo "FAIL paint wrote through the planted link or replaced the link"; failures=$((failures + 1)); }
rm "$work/registry"

printf 'garbage\n' >"$work/registry"
expect "registry is garbage" 5 \
"regsvr: DllRegisterServer in $module failed: Type library registration failed (0x80040200)
regsvr: $work/registry: registry line 1: a value before any key" \
    "$regsvr" "$module"
rm "$work/registry"
mkdir "$work/registry"
expect "registry is a folder" 5 \
"regsvr: DllRegisterServer in $module failed: Type library registration failed (0x80040200)
regsvr: cannot read the registry $work/registry: Is a directory" \
    "$regsvr" "$module"
rmdir "$work/registry"
"$regsvr" "$module" >/dev/null
if chattr +i "$work/registry" 2>/dev/null; then
    expect "registry is immutable" 5 \
"regsvr: DllUnregisterServer in $module failed: Type library registration failed (0x80040200)
regsvr: cannot replace $work/registry: Operation not permitted" \
        "$regsvr" /u "$module"
    chattr -i "$work/registry"
else
    echo "immutable registry not tried: chattr +i is not allowed here"
fi
exit $((failures > 0))
