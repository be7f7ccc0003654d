#!/usr/bin/env bash
# Configures and builds one build tree:
#   scripts/build.sh DIR [--no-werror] [--windows] [--target NAME]... [cmake options...]
# --windows configures DIR for 64-bit Windows with mingw-w64 (cmake/mingw-w64-x86_64.cmake):
# Brenkar's code on the Windows SDK.
# Warnings are errors (FORECOURT_WERROR) unless --no-werror is given: ./test and CI build
# that way; ./run builds without it, and only the programs it runs (--target).
# ccache is used when the machine has it (rebuilds of unchanged files are then instant).
set -euo pipefail
dir=$1
shift
werror=ON
targets=()
options=()
while (($#)); do
    case $1 in
        --no-werror) werror=OFF ;;
        --windows) options+=(-DCMAKE_TOOLCHAIN_FILE="$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-w64-x86_64.cmake") ;;
        --target) targets+=(--target "$2"); shift ;;
        *) options+=("$1") ;;
    esac
    shift
done
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "${launcher[@]}" -DFORECOURT_WERROR="$werror" \
    "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
