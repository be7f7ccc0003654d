#!/usr/bin/env bash
# The console programs load no window, font, image or sound library, neither directly nor
# through a library they load: every program's whole tree of NEEDED entries, as the dynamic
# loader resolves it (ldd), and each library's own NEEDED entries (readelf -d) are checked
# against the window libraries' names. GDI's library is checked first, as a program that
# does load FreeType: a checker that finds nothing there would pass anything.
# Usage: console_programs_test.sh GDI_LIBRARY PROGRAM...
set -euo pipefail
gdi_library=$1
shift

window_libraries='^lib(SDL|X11|X[a-z]+\.|xcb|wayland|xkbcommon|pulse|asound|FLAC|sndfile|freetype|fontconfig|png|platform_gdi|platform_user|platform_display_sdl)'

# Every library file the loader maps for $1, one path a line; fails when one is missing.
loaded_files() {
    local listing
    listing=$(ldd "$1") || { echo "ldd cannot read $1" >&2; return 1; }
    if grep -q "not found" <<<"$listing"; then
        echo "$1: a library is not found:" >&2
        grep "not found" <<<"$listing" >&2
        return 1
    fi
    awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' <<<"$listing"
}

# The window libraries among the names $1 and what it loads need, one name a line.
window_names() {
    local file
    {
        readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
        for file in $(loaded_files "$1"); do
            basename "$file"
            readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
        done
    } | sort -u | grep -E "$window_libraries" || true
}

if [ -z "$(window_names "$gdi_library")" ]; then
    echo "the check finds no window library in $gdi_library, which links FreeType" >&2
    exit 1
fi

status=0
for program in "$@"; do
    found=$(window_names "$program")
    if [ -n "$found" ]; then
        echo "$(basename "$program") loads window libraries:" $found >&2
        status=1
    else
        echo "$(basename "$program"): $(loaded_files "$program" | xargs -n1 basename | tr '\n' ' ')"
    fi
done
exit "$status"
