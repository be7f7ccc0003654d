#!/usr/bin/env bash
# The tools' messages for what a careless user hands them: control-host with a device, a folder
# or an endless line as its script, and an error text that must not outlive its command;
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
