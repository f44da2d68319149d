#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang (ASan + UBSan), replays fuzz/crashes/, then
# runs each target for a bounded time on a copy of its corpus. Exits non-zero on any finding.
#
#   FUZZ_SECONDS=60 bash scripts/fuzz.sh                 # every target, 60 s each
#   FUZZ_SECONDS=900 bash scripts/fuzz.sh fuzz_zestaw    # one target, 15 minutes
#
# FUZZ_KEEP=1 keeps the run folder (grown corpus, logs) also when nothing failed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
build=$PWD/build-fuzz
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_rekord fuzz_zestaw fuzz_strona fuzz_wymiana)

cxx=$(command -v clang++-14 || command -v clang++) || { echo "fuzz.sh: clang++ is missing" >&2; exit 2; }
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" -j "${FUZZ_JOBS:-2}" -- "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/testownik-fuzz-run.XXXXXX")
# The set target's files (deletion syncs them) go to memory when it can, and away with the run.
shm=/tmp
[ -w /dev/shm ] && shm=/dev/shm
files=$(mktemp -d "$shm/testownik-fuzz-files.XXXXXX")
trap 'rm -rf "$files"' EXIT
status=0

for t in "${targets[@]}"; do
    log=$work/$t.log
    mkdir -p "$work/$t-corpus"
    cp fuzz/corpus/"$t"/* "$work/$t-corpus"/
    # Inputs that once failed must pass before new ones are looked for.
    if compgen -G "fuzz/crashes/$t/*" >/dev/null &&
        ! TMPDIR=$files "$build/$t" fuzz/crashes/"$t"/* >"$work/$t-replay.log" 2>&1; then
        echo "$t: FAILED replaying fuzz/crashes/$t (see $work/$t-replay.log)"
        status=1
        continue
    fi
    case $t in fuzz_zestaw) max_len=262144 ;; *) max_len=16384 ;; esac
    rc=0
    TMPDIR=$files "$build/$t" -max_total_time="$seconds" -max_len=$max_len -timeout=20 -rss_limit_mb=2560 \
        -print_final_stats=1 -artifact_prefix="$work/$t-" "$work/$t-corpus" >"$log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    if [ "$rc" -eq 0 ]; then
        echo "$t: ok, ${runs:-?} runs in ${seconds}s; $(grep -E '^#[0-9]+' "$log" | tail -1 | grep -o 'cov: [0-9]*')"
    else
        echo "$t: FAILED (exit $rc) after ${runs:-?} runs; input $(ls "$work/$t-"{crash,leak,timeout,oom}-* 2>/dev/null | head -1); log $log"
        grep -E 'ERROR:|Assertion|runtime error' "$log" | head -5 >&2 || true
        status=1
    fi
done

if [ "$status" -ne 0 ] || [ "${FUZZ_KEEP:-0}" = 1 ]; then
    echo "fuzz.sh: run folder kept: $work"
else
    rm -rf "$work"
fi
exit "$status"
