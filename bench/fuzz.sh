#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour sanitizers) in
# build-fuzz/ and runs each for a while:
#   bench/fuzz.sh [--jobs N] SECONDS [NAME...]    every target (or the named ones) for SECONDS seconds
#   bench/fuzz.sh [--jobs N] --runs N [NAME...]   every target (or the named ones) for N inputs (./test uses this)
# --jobs N runs N targets side by side (default 1: one after another); each target is one
# fuzzing process, so N is the number of cores it takes.
# Prints one line per target as it ends: the executions, the crashes found and where their
# inputs went. Each target starts from its seeds (tests/fuzz/<name>_seeds) and the crash
# inputs kept in tests/fuzz/<name>_regressions; the corpus it grows stays in
# build-fuzz/corpus/<name>.
# Exit status: 0 when no target crashed, 1 when one did; 0 with a note when clang or its
# libFuzzer runtime is missing and --runs was given (./test goes on), 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: bench/fuzz.sh [--jobs N] SECONDS [NAME...] | [--jobs N] --runs N [NAME...]" >&2
    exit 2
}
jobs=1
if [ "${1:-}" = --jobs ]; then
    [[ ${2:-} =~ ^[1-9][0-9]*$ ]] || usage
    jobs=$2
    shift 2
fi
case ${1:-} in
    --runs) [[ ${2:-} =~ ^[0-9]+$ ]] || usage; limit=(-runs="$2"); optional=1; shift 2 ;;
    *) [[ ${1:-} =~ ^[0-9]+$ ]] || usage; limit=(-max_total_time="$1"); optional=0; shift ;;
esac
wanted=("$@")

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

# Warnings are the normal build's concern (GCC, -Werror): clang warns of other things, and a
# newer clang's new warning must not keep the fuzzers from running.
tree=build-fuzz
scripts/build.sh "$tree" --no-werror --target fuzz_targets -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DFORECOURT_FUZZ=ON -DFORECOURT_BENCH=OFF

# run_target NAME: fuzzes one target; prints its line and leaves "failed" in its result file
# when it crashed.
run_target() {
    local name=$1 program=$tree/tests/fuzz/fuzz_$1
    local corpus=$tree/corpus/$name crashes=$tree/crashes/$name log=$tree/fuzz-$name.log
    mkdir -p "$corpus" "$crashes"
    local kept=(tests/fuzz/"$name"_seeds)
    [ -d tests/fuzz/"$name"_regressions ] && kept+=(tests/fuzz/"$name"_regressions)
    local result=0 started=$tree/fuzz-$name.started
    : >"$started"
    # A 16 MB quarantine instead of 256 MB: freed memory comes back within a few inputs, so
    # that an execution does not fault in fresh pages for every allocation (three times the
    # executions a second); a use after free within one input is still caught. The system
    # libraries' own leaks are suppressed as in ./test's sanitizer run (tests/lsan.supp).
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:quarantine_size_mb=16 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
        "$program" "$corpus" "${kept[@]}" "${limit[@]}" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$crashes/" >"$log" 2>&1 || result=$?
    local executions found line
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    # Only what this run found: inputs of earlier runs stay in the folder until kept or deleted.
    found=$(find "$crashes" -type f -newer "$started" | wc -l)
    line=$(printf '%-16s %14s %8s' "$name" "${executions:-?}" "$found")
    if [ "$result" -ne 0 ] || [ "$found" -ne 0 ]; then
        line+="   inputs in $crashes, log in $log"
        echo failed >"$tree/fuzz-$name.result"
    fi
    echo "$line"
}

printf '%-16s %14s %8s\n' target executions crashes
names=()
for program in "$tree"/tests/fuzz/fuzz_*; do
    names+=("${program##*/fuzz_}")
done
if ((${#wanted[@]})); then
    for name in "${wanted[@]}"; do
        [ -x "$tree/tests/fuzz/fuzz_$name" ] || { echo "fuzz: no target $name (${names[*]})" >&2; exit 2; }
    done
    names=("${wanted[@]}")
fi
for name in "${names[@]}"; do
    rm -f "$tree/fuzz-$name.result"
    while (($(jobs -rp | wc -l) >= jobs)); do
        wait -n || true
    done
    run_target "$name" &
done
wait
status=0
for name in "${names[@]}"; do
    [ -e "$tree/fuzz-$name.result" ] && status=1
done
exit "$status"
