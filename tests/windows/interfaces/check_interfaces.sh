#!/usr/bin/env bash
# Holds the COM interfaces of the platform headers against the Windows SDK's: compiles
# interface_probe.cpp with clang against both, reads the tables clang lays out
# (-fdump-vtable-layouts) and compares them slot by slot, member name and parameter types.
#   check_interfaces.sh CLANGXX SOURCE_DIR WORK_DIR
# The SDK side is compiled for 32-bit Windows, where __stdcall is a calling convention of its
# own and a callback that lacks it shows. Differences listed in known_differences.txt are
# accepted; a listed one that no longer occurs fails too, so the list stays true.
# Exit status: 0 when the declarations agree, 1 otherwise (and when clang is missing).
set -euo pipefail
export LC_ALL=C  # one sort order for comm
clangxx=$1
source_dir=$2
work=$3
here=$source_dir/tests/windows/interfaces
probe=$here/interface_probe.cpp
known=$here/known_differences.txt

if [[ $clangxx != */* ]]; then
    clangxx=$(command -v "$clangxx" || true)
fi
if [[ -z $clangxx || ! -x $clangxx ]]; then
    echo "check_interfaces: clang++ not found (${1}): the interface check needs clang" \
         "(Debian package clang, installed by scripts/setup.sh)" >&2
    exit 1
fi
mkdir -p "$work"

# probe TARGET_FLAGS... > dump: the probe's table layouts, or the compiler's errors and exit 1.
layouts() {
    local name=$1
    shift
    if ! "$clangxx" -std=c++20 "$@" -c -o /dev/null -Xclang -fdump-vtable-layouts "$probe" \
            >"$work/$name.layouts" 2>"$work/$name.errors"; then
        echo "check_interfaces: the probe does not compile against $name:" >&2
        cat "$work/$name.errors" >&2
        exit 1
    fi
}
layouts ours -I"$source_dir"
layouts sdk --target=i686-w64-windows-gnu

# "KIND NAME SLOT MEMBER" for each member of each probe's table, slot 0 being QueryInterface;
# the probe's own closing member is left out.
extract() {
    awk '
        /^Vtable for / {
            name = ""
            if (match($0, /interface_probe::(sdk|extended|own)_[A-Za-z0-9_]+/)) {
                split(substr($0, RSTART + 17, RLENGTH - 17), part, "_")
                kind = part[1]
                name = substr($0, RSTART + 17 + length(kind) + 1, RLENGTH - 17 - length(kind) - 1)
            }
            next
        }
        /^VTable indices/ { name = "" }
        name != "" && /^ +[0-9]+ \| / {
            slot = $1 - 2
            sub(/^ +[0-9]+ \| /, "")
            if ($0 ~ /^offset_to_top|RTTI$|::probe_end\(\)/) next
            sub(/ \[pure\]$/, "")
            print kind, name, slot, $0
        }' "$1"
}

# One spelling for the spellings of one type: the SDK's typedefs and macros against the
# headers' (REFIID is "const IID &" in the SDK, WINBOOL its BOOL), and a callback's __stdcall
# written as the SDK writes it (the headers' mark is STDMETHODCALLTYPE before the type).
normalise() {
    sed -E \
        -e 's/STDMETHODCALLTYPE ([A-Za-z_][A-Za-z0-9_ ]*) \(\*\)(\([^()]*\))/\1 (*)\2 __stdcall/g' \
        -e 's/ __attribute__\(\(stdcall\)\)/ __stdcall/g' \
        -e 's/\bREF(IID|CLSID|GUID)\b/const GUID \&/g' \
        -e 's/\b(IID|CLSID)\b/GUID/g' \
        -e 's/\bWINBOOL\b/BOOL/g' \
        -e 's/\bLPC(OLESTR|WSTR)\b/const OLECHAR */g' \
        -e 's/\bLP(OLESTR|WSTR)\b/OLECHAR */g' \
        -e 's/\bWCHAR\b/OLECHAR/g' \
        -e 's/\bTranslateAcceleratorA\b/TranslateAccelerator/g' \
        -e 's/\bLPCONNECTIONPOINT\b/IConnectionPoint */g' \
        -e 's/\bLPSTREAM\b/IStream */g' \
        -e 's/\bLPMSG\b/MSG */g' \
        -e 's/\bP?LPVOID\b|\bPVOID\b/void */g' \
        -e 's/\bLPCRECT\b/const RECT */g' \
        -e 's/\bLPRECT\b/RECT */g' \
        -e 's/\bLPCRECTL\b/const RECTL */g' \
        -e 's/\bLPSIZEL\b/SIZEL */g' \
        -e 's/\bLPUNKNOWN\b/IUnknown */g' \
        -e 's/\bLPFONTDISP\b/IDispatch */g' \
        -e 's/\bLPOLEINPLACEFRAMEINFO\b/OLEINPLACEFRAMEINFO */g' \
        -e 's/\* \*/**/g'
}

extract "$work/ours.layouts" | normalise >"$work/ours.members"
extract "$work/sdk.layouts" | normalise >"$work/sdk.members"

# Every interface the platform headers declare is in the probe's list.
grep -rhoE --include='*.h' '^(struct|class) +I[A-Z][A-Za-z0-9_]* *(: *[A-Za-z0-9_:, ]+)?\{' \
    "$source_dir/platform" | sed -E 's/^(struct|class) +([A-Za-z0-9_]+).*/\2/' | sort -u \
    >"$work/declared"
awk '{ print $2 }' "$work/ours.members" | sort -u >"$work/listed"

# The differences, one a line:
#   NAME slot N: ours MEMBER | the SDK's MEMBER   (a missing member is "(none)")
#   NAME: declared in platform/ and not in interface_probe.cpp
awk -v declared="$work/declared" -v listed="$work/listed" '
    FNR == 1 { file++ }
    file == 1 { ours[$2, $3] = member($0); kind[$2] = $1; count[$2]++; next }
    file == 2 { sdk[$2, $3] = member($0); sdkcount[$2]++; next }
    function member(line) { sub(/^[^ ]+ [^ ]+ [^ ]+ /, "", line); return line }
    END {
        while ((getline name < declared) > 0) is_declared[name] = 1
        while ((getline name < listed) > 0) is_listed[name] = 1
        for (name in is_declared)
            if (!(name in is_listed))
                print name ": declared in platform/ and not in interface_probe.cpp"
        for (name in kind) {
            if (kind[name] == "own") continue
            last = count[name] > sdkcount[name] ? count[name] : sdkcount[name]
            if (kind[name] == "extended") last = sdkcount[name]
            for (slot = 0; slot < last; slot++) {
                a = ((name, slot) in ours) ? ours[name, slot] : "(none)"
                b = ((name, slot) in sdk) ? sdk[name, slot] : "(none)"
                if (a != b) print name " slot " slot ": ours " a " | the SDK\x27s " b
            }
        }
    }' "$work/ours.members" "$work/sdk.members" | sort >"$work/differences"

grep -vE '^(#|$)' "$known" | sort >"$work/known" || true
# Printed by interface, then slot.
by_slot() { sort -t ' ' -k1,1 -k3,3n; }
new=$(comm -23 "$work/differences" "$work/known" | by_slot)
gone=$(comm -13 "$work/differences" "$work/known" | by_slot)
status=0
if [[ -n $new ]]; then
    echo "check_interfaces: the platform headers and the Windows SDK differ:" >&2
    sed 's/^/  /' <<<"$new" >&2
    status=1
fi
if [[ -n $gone ]]; then
    echo "check_interfaces: known differences that no longer occur (delete them from" \
         "tests/windows/interfaces/known_differences.txt):" >&2
    sed 's/^/  /' <<<"$gone" >&2
    status=1
fi
if ((status == 0)); then
    compared=$(awk '$1 != "own" { print $2 }' "$work/ours.members" | sort -u | wc -l)
    echo "check_interfaces: $compared interfaces agree with the Windows SDK but for" \
         "$(wc -l <"$work/known") known differences:"
    by_slot <"$work/known" | sed 's/^/  /'
fi
exit $status
