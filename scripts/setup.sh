#!/usr/bin/env bash
# Installs the Debian packages a purpose needs, when any is missing. Sourced by ./run and
# ./test after they set forecourt_setup (safe to run again):
#   export     ./run: the compiler, CMake and SQLite, for brenkar and kestrod
#   forecourt  ./run forecourt: and the window libraries (FreeType, fontconfig, libpng, fonts,
#              SDL2) for the forecourt window
#   all        ./test (the default): and the test, benchmark, fuzzing and packaging tools
set -euo pipefail

forecourt_packages=(g++ cmake ninja-build pkg-config libsqlite3-dev)
case ${forecourt_setup:-all} in
    export) ;;
    forecourt)
        forecourt_packages+=(libfreetype-dev libfontconfig-dev libpng-dev fonts-liberation2
                             libsdl2-dev) ;;
    all)
        forecourt_packages+=(
            libfreetype-dev libfontconfig-dev libpng-dev fonts-liberation2 libsdl2-dev
            libgtest-dev libgmock-dev libbenchmark-dev
            xvfb xauth
            clang clang-format
            # Installing and packaging: dpkg-shlibdeps, manual page lint, package lint, unit checks.
            dpkg-dev mandoc lintian systemd
            # Windows builds and their runs: the conformance probe under Wine.
            mingw-w64 mingw-w64-tools g++-mingw-w64-x86-64-posix wine wine64
        ) ;;
    *)
        echo "scripts/setup.sh: unknown purpose ${forecourt_setup} (export, forecourt or all)" >&2
        exit 2 ;;
esac

forecourt_missing=()
for p in "${forecourt_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        forecourt_missing+=("$p")
done
if ((${#forecourt_missing[@]})); then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${forecourt_missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    echo "Installing ${forecourt_missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${forecourt_missing[@]}" >/dev/null
fi
