#!/bin/sh
# A fuzzing campaign over every libFuzzer target of fuzz/.
#
#   sh scripts/fuzz.sh [SECONDS] [TARGET...]     (default 60 seconds, every target)
#
# Builds the targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# into fuzz-build/, runs each one for SECONDS from its saved inputs in
# fuzz/corpus/TARGET, merges the inputs that reach new code into that folder
# (a minimising merge: only inputs that add coverage are kept), replays the
# whole folder once more with the leak checker on, and prints one line per
# target: inputs run, inputs a second, coverage, findings. Findings (crashes,
# leaks, hangs, broken promises) are saved under fuzz-build/findings/TARGET/;
# the script ends with status 1 when there is any.
#
# The campaign itself runs without the leak checker and with ASan's lighter
# bookkeeping (no fill of new memory, short allocation stacks, a small
# quarantine): several times more inputs a second. The replay after the merge
# checks for leaks, and a finding is reproduced with the full reports by
#   fuzz-build/bin/fuzz_TARGET fuzz-build/findings/TARGET/crash-...
# For a long campaign in the background, lowest priority, each target
# stopping after ten million inputs or ten hours, whichever comes first:
#   FUZZ_RUNS=10000000 nohup nice -n 19 sh scripts/fuzz.sh 36000 > fuzz.log 2>&1 &
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
case $seconds in
    '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac

if ! command -v clang++ >/dev/null 2>&1; then
    sh scripts/install-deps.sh fuzz
fi
build=fuzz-build
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=true
fi
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKN4_FUZZ=ON -DKN4_GUI=OFF -DKN4_BENCH=OFF >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }

targets="$*"
if [ -z "$targets" ]; then
    # Every target the build offers (the disk image reader comes with the
    # manager's transfer code).
    targets=$(sed -n 's/^build bin\/fuzz_\([a-z_]*\): .*/\1/p' "$build/build.ninja" | sort -u)
fi
build_targets=""
for t in $targets; do
    build_targets="$build_targets fuzz_$t replay_$t"
done
cmake --build "$build" -j "$(nproc)" --target $build_targets

export ASAN_OPTIONS="max_malloc_fill_size=0:malloc_context_size=4:quarantine_size_mb=16"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Inputs long enough for each reader: a diskette image's system sectors, and
# whole panels for the simulator's long target; the others keep libFuzzer's
# default (4096 bytes, or the longest saved input).
max_len_of() {
    case $1 in
        disk_image) echo 20000 ;;
        simulator_long) echo 16384 ;;
        *) echo 0 ;;
    esac
}

status=0
summary=""
for t in $targets; do
    program="$build/bin/fuzz_$t"
    corpus="fuzz/corpus/$t"
    work="$build/campaign/$t"
    findings="$build/findings/$t"
    log="$build/campaign/$t.log"
    rm -rf "$work"
    mkdir -p "$work" "$findings" "$corpus"
    before=$(ls "$findings" | wc -l)
    saved=$(ls "$corpus" | wc -l)

    # New inputs go to the scratch folder (the first one named); the saved
    # ones are read from the corpus.
    "$program" "$work" "$corpus" -max_total_time="$seconds" -runs="${FUZZ_RUNS:--1}" -max_len="$(max_len_of "$t")" \
        -timeout=20 -detect_leaks=0 -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1 || true
    "$program" -merge=1 "$corpus" "$work" >"$log.merge" 2>&1 || true
    ASAN_OPTIONS=detect_leaks=1 "$build/tests/replay_$t" "$corpus" >"$log.replay" 2>&1 ||
        cp "$log.replay" "$findings/replay-failed-$(date +%Y%m%d%H%M%S).log"

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    added=$(( $(ls "$corpus" | wc -l) - saved ))
    found=$(( $(ls "$findings" | wc -l) - before ))
    [ "$found" -gt 0 ] && status=1
    line=$(printf '%-16s %12s inputs %8s/s  cov %5s ft %6s  corpus +%s  findings %s' "$t" \
        "${runs:-?}" "${rate:-?}" "${coverage:-?}" "${features:-?}" "$added" "$found")
    echo "$line"
    summary="$summary$line
"
done
echo
echo "Campaign of ${seconds} s per target:"
printf '%s' "$summary"
[ "$status" -eq 0 ] || echo "Findings are in $build/findings/." >&2
exit "$status"
