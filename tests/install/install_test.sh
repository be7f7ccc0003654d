#!/usr/bin/env bash
# cmake --install into a temporary prefix, then the tree moved elsewhere and run from there:
# the installed kestrod serves the sample station and the installed brenkar exports it; the
# installed control is drawn and hosted, and the forecourt window plays its example; the
# service unit is verified by systemd-analyze.
#   install_test.sh BUILD_DIR
set -uo pipefail
build=$1
source "$(dirname "$0")/installed_tree_checks.sh"
work=$(mktemp -d)
trap 'stop_kestrod; rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install"; }
unit=$work/prefix/lib/systemd/system/forecourt-kestrod.service
grep -qx "ExecStart=$work/prefix/bin/kestrod --db %S/forecourt-kestrod/kestrod.db" "$unit" ||
    fail "the unit does not start the installed kestrod: $(grep ExecStart "$unit")"
if command -v systemd-analyze >/dev/null; then
    # Documentation=man:kestrod(1) is looked up among the installed pages.
    messages=$(MANPATH=$work/prefix/share/man systemd-analyze verify "$unit" 2>&1) ||
        fail "systemd-analyze verify: $messages"
    [ -z "$messages" ] || fail "systemd-analyze verify: $messages"
else
    echo "systemd-analyze is not installed: the service unit is not verified"
fi

# Moved as a whole, the tree still finds its libraries and modules.
mv "$work/prefix" "$work/moved"
root=$work/moved
check_layout "$root"
check_runpaths "$root"
mkdir "$work/run"
check_export "$root" 127.0.171 "$work/run"
check_tolvan "$root" "$work/run"
check_forecourt "$root" 127.0.171 "$work/run"
echo "installed into a temporary prefix, moved, and ran brenkar, kestrod and the control"
