#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour sanitizers) in
# build-fuzz/ and runs each for a while:
#   bench/fuzz.sh SECONDS     every target for SECONDS seconds, one after another
#   bench/fuzz.sh --runs N    every target for N inputs (./test uses this)
# Prints one line per target: the executions, the crashes found and where their inputs went.
# Each target starts from its seeds (tests/fuzz/<name>_seeds) and the crash inputs kept in
# tests/fuzz/<name>_regressions; the corpus it grows stays in build-fuzz/corpus/<name>.
# Exit status: 0 when no target crashed, 1 when one did; 0 with a note when clang or its
# libFuzzer runtime is missing and --runs was given (./test goes on), 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: bench/fuzz.sh SECONDS | --runs N" >&2
    exit 2
}
case ${1:-} in
    --runs) [[ ${2:-} =~ ^[0-9]+$ ]] || usage; limit=(-runs="$2"); optional=1 ;;
    *) [[ ${1:-} =~ ^[0-9]+$ ]] || usage; limit=(-max_total_time="$1"); optional=0 ;;
esac

# clang must link a fuzzer, not only exist.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
if ! command -v clang++ >/dev/null ||
    ! clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
    echo "fuzz: clang++ with libFuzzer is not installed (scripts/setup.sh installs clang)" >&2
    exit $((1 - optional))
fi

# Warnings are the normal build's concern (GCC, -Werror); clang's -Wpedantic objects to the
# Windows layouts (VARIANT's anonymous structs) that the platform layer must keep.
tree=build-fuzz
scripts/build.sh "$tree" --no-werror --target fuzz_targets -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DFORECOURT_FUZZ=ON -DFORECOURT_BENCH=OFF

status=0
printf '%-16s %14s %8s\n' target executions crashes
for program in "$tree"/tests/fuzz/fuzz_*; do
    name=${program##*/fuzz_}
    corpus=$tree/corpus/$name
    crashes=$tree/crashes/$name
    mkdir -p "$corpus" "$crashes"
    kept=(tests/fuzz/"$name"_seeds)
    [ -d tests/fuzz/"$name"_regressions ] && kept+=(tests/fuzz/"$name"_regressions)
    log=$tree/fuzz-$name.log
    result=0
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$program" "$corpus" "${kept[@]}" "${limit[@]}" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$crashes/" >"$log" 2>&1 || result=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    found=$(find "$crashes" -type f | wc -l)
    line=$(printf '%-16s %14s %8s' "$name" "${executions:-?}" "$found")
    if [ "$result" -ne 0 ] || [ "$found" -ne 0 ]; then
        status=1
        line+="   inputs in $crashes, log in $log"
    fi
    echo "$line"
done
exit "$status"
