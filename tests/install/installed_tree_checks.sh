# Sourced by the install and package tests: checks an installed tree at ROOT (a prefix such as
# /usr, or one made by cmake --install) as a user meets it.
#   check_layout ROOT              every program, module, page and data file in its place
#   check_runpaths ROOT            every ELF file finds its libraries relative to itself
#   check_export ROOT PREFIX DIR   the installed kestrod on PREFIX.N serving the sample
#                                  station, the installed brenkar exporting it into DIR
#   check_tolvan ROOT DIR          the installed control drawn and hosted from the tree
#   check_forecourt ROOT PREFIX DIR  the installed forecourt window, headless, playing the
#                                  installed stacked-sale example against the installed kestrod
# Each prints what is wrong and exits 1.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/kestrod_server.sh"

fail() {
    echo "FAIL: $*"
    exit 1
}

check_layout() {
    local root=$1 path
    for path in bin/brenkar bin/kestrod bin/kestroctl bin/regsvr bin/control-host \
        bin/forecourt bin/tolvan-face lib/forecourt/Tolvan.OCX lib/forecourt/KestroClient.so \
        lib/forecourt/libplatform_base.so lib/forecourt/libplatform_nls.so \
        lib/forecourt/libplatform_oleaut.so lib/forecourt/libplatform_com.so \
        lib/forecourt/libplatform_gdi.so lib/forecourt/libplatform_user.so \
        lib/forecourt/libplatform_display_sdl.so \
        lib/systemd/system/forecourt-kestrod.service share/forecourt/examples/tolvan.host \
        share/forecourt/examples/stacked_sale.script; do
        [ -e "$root/$path" ] || fail "$root/$path is not installed"
    done
    for path in brenkar kestrod kestroctl regsvr control-host forecourt tolvan-face; do
        [ -x "$root/bin/$path" ] || fail "$root/bin/$path is not executable"
        [ -e "$root/share/man/man1/$path.1.gz" ] || fail "no manual page for $path"
    done
    # Whole outputs are kept before they are searched: with pipefail, a grep -q that stops
    # reading early would fail the writer with SIGPIPE.
    local page
    page=$(man -l "$root/share/man/man1/brenkar.1.gz" 2>/dev/null)
    grep -q '^NAME' <<<"$page" || fail "man -l cannot show the installed brenkar(1)"
}

check_runpaths() {
    local root=$1 file runpath
    while IFS= read -r file; do
        [ "$(head -c 4 "$file" | tail -c 3)" = ELF ] || continue
        runpath=$(readelf -d "$file" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
        case $file in
            */bin/*) [ "$runpath" = '$ORIGIN/../lib/forecourt' ] ||
                fail "$file has the run path '$runpath'" ;;
            *) [ "$runpath" = '$ORIGIN' ] || fail "$file has the run path '$runpath'" ;;
        esac
    done < <(find "$root/bin" "$root/lib/forecourt" -type f)
}

check_export() {
    local root=$1 prefix=$2 dir=$3
    # brenkar calls port 5123, so the server takes it on an address of its own.
    start_kestrod "$root/bin/kestrod" "$prefix" "$dir" --call-port 5123 --events-port 5124
    (cd "$dir" && "$root/bin/brenkar" EXPORT station.ini "$address" >brenkar.out 2>&1)
    local status=$?
    stop_kestrod
    [ "$status" -eq 0 ] || { cat "$dir/brenkar.out"; fail "the installed brenkar exited $status"; }
    grep -q '^All done\.$' "$dir/brenkar.out" || fail "brenkar did not end with All done."
    grep -qi '^  8 pumps exported successfully\.$' "$dir/brenkar.out" ||
        { cat "$dir/brenkar.out"; fail "brenkar did not export the sample station's pumps"; }
    grep -q '^\[Pump08\]' "$dir/station.ini" || fail "station.ini holds no [Pump08]"
    grep -q 'kestrod: stopped' "$dir/kestrod.log" || fail "kestrod did not stop cleanly"
    local help
    help=$("$root/bin/brenkar" --help) || fail "brenkar --help exited $?"
    grep -q 'See brenkar(1)' <<<"$help" || fail "brenkar --help: $help"
}

check_tolvan() {
    local root=$1 dir=$2
    # A fresh registry: tolvan-face registers the installed control into one of its own.
    FORECOURT_REGISTRY=$dir/registry "$root/bin/tolvan-face" --state 8 --hose 1 \
        -o "$dir/face.png" >"$dir/face.out" 2>&1 || { cat "$dir/face.out"; fail "tolvan-face"; }
    [ "$(head -c 4 "$dir/face.png" | tail -c 3)" = PNG ] || fail "tolvan-face wrote no PNG"
    FORECOURT_REGISTRY=$dir/registry "$root/bin/regsvr" "$root/lib/forecourt/Tolvan.OCX" \
        >"$dir/regsvr.out" 2>&1 || { cat "$dir/regsvr.out"; fail "regsvr Tolvan.OCX"; }
    printf 'create TOLVAN.TolvanCtrl.1\nget Name\n' |
        FORECOURT_REGISTRY=$dir/registry "$root/bin/control-host" >"$dir/host.out" 2>&1 ||
        { cat "$dir/host.out"; fail "control-host could not create the installed control"; }
}

check_forecourt() {
    local root=$1 prefix=$2 dir=$3
    start_kestrod "$root/bin/kestrod" "$prefix" "$dir" --clock manual
    # A fresh registry: forecourt registers the installed client object and control itself,
    # and its script's kestroctl lines run the installed kestroctl.
    (cd "$dir" && FORECOURT_REGISTRY=$dir/forecourt-registry timeout 60 "$root/bin/forecourt" \
        --headless --server "$address" --call-port "$call_port" --events-port "$events_port" \
        --popup-mode 2 --script "$root/share/forecourt/examples/stacked_sale.script" \
        >forecourt.out 2>&1)
    local status=$?
    stop_kestrod
    [ "$status" -eq 0 ] ||
        { cat "$dir/forecourt.out"; fail "the installed forecourt exited $status"; }
    grep -q 'sale 1 chosen for payment' "$dir/forecourt.out" ||
        { cat "$dir/forecourt.out"; fail "the installed forecourt did not play the stacked sale"; }
}
