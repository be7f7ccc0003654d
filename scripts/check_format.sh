#!/usr/bin/env bash
# Checks that every C++ source of the repository is formatted as .clang-format says; prints
# the files that are not and how to mend them. Run from anywhere.
#   scripts/check_format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.cc' '*.hpp')
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
unformatted=()
for f in "${files[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if ((${#unformatted[@]})); then
    printf 'not formatted as .clang-format says: %s\n' "${unformatted[@]}" >&2
    echo "mend with: scripts/check_format.sh --fix" >&2
    exit 1
fi
echo "all ${#files[@]} C++ files formatted"
