#!/usr/bin/env bash
# scripts/package.sh builds the Debian packages from the build tree; they are listed, their
# dependencies read, unpacked into a scratch root (dpkg -x) and run from there; lintian
# judges them when it is installed.
#   package_test.sh BUILD_DIR
set -uo pipefail
build=$1
here=$(dirname "$0")
source "$here/installed_tree_checks.sh"
work=$(mktemp -d)
trap 'stop_kestrod; rm -rf "$work"' EXIT

"$here/../../scripts/package.sh" "$build" "$work/dist" >"$work/package.log" 2>&1 ||
    { cat "$work/package.log"; fail "scripts/package.sh"; }
cat "$work/package.log"
for package in brenkar kestrod tolvan platform; do
    deb=$(ls "$work"/dist/forecourt-${package}_*.deb 2>/dev/null) || fail "no forecourt-$package"
    dpkg-deb -c "$deb" >"$work/$package.contents"
    dpkg-deb -x "$deb" "$work/root"
done

contains() { grep -q " \./usr/$2\$" "$work/$1.contents" || fail "forecourt-$1 lacks /usr/$2"; }
contains brenkar bin/brenkar
contains brenkar share/man/man1/brenkar.1.gz
contains brenkar share/doc/forecourt-brenkar/copyright
contains kestrod bin/kestroctl
contains kestrod lib/systemd/system/forecourt-kestrod.service
contains tolvan lib/forecourt/Tolvan.OCX
for library in base nls oleaut com gdi user display_sdl; do
    contains platform lib/forecourt/libplatform_$library.so
done
# Each file belongs to one package only.
duplicates=$(cat "$work"/*.contents | awk '$NF !~ /\/$/ {print $NF}' | sort | uniq -d)
[ -z "$duplicates" ] || fail "files in two packages: $duplicates"

depends() { dpkg-deb -f "$work"/dist/forecourt-${1}_*.deb Depends; }
brenkar_depends=$(depends brenkar)
for library in libc6 libstdc++6 "forecourt-platform (= "; do
    grep -qF "$library" <<<"$brenkar_depends" ||
        fail "forecourt-brenkar does not depend on $library: $brenkar_depends"
done
grep -q libsqlite3-0 <<<"$(depends kestrod)" || fail "forecourt-kestrod does not depend on SQLite"
grep -q libfreetype6 <<<"$(depends platform)" ||
    fail "forecourt-platform does not depend on FreeType"

grep -qx 'ExecStart=/usr/bin/kestrod --db %S/forecourt-kestrod/kestrod.db' \
    "$work/root/usr/lib/systemd/system/forecourt-kestrod.service" || fail "the unit's ExecStart"
check_layout "$work/root/usr"
check_runpaths "$work/root/usr"
mkdir "$work/run"
check_export "$work/root/usr" 127.0.172 "$work/run"

if command -v lintian >/dev/null; then
    # Findings are listed; errors fail the test.
    lintian --tag-display-limit 0 "$work"/dist/*.deb >"$work/lintian.out" 2>&1
    cat "$work/lintian.out"
    ! grep -q '^E:' "$work/lintian.out" || fail "lintian reports errors"
else
    echo "lintian is not installed: the packages are not linted"
fi
echo "packages built, unpacked and run"
