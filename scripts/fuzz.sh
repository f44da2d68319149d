#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang (ASan + UBSan) and runs each for a bounded
# time on a copy of its committed corpus. Exits non-zero when any target finds a crash.
#
#   FUZZ_SECONDS=60 bash scripts/fuzz.sh                 # every target, 60 s each
#   FUZZ_SECONDS=900 bash scripts/fuzz.sh fuzz_zestaw    # one target, 15 minutes
#
# FUZZ_SECONDS  seconds per target (60)
# FUZZ_BUILD    build folder (build-fuzz); FUZZ_NO_BUILD=1 runs what is built there
# FUZZ_KEEP=1   keeps the run folder (grown corpus, logs) also when nothing failed
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD:-build-fuzz}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_rekord fuzz_zestaw fuzz_strona fuzz_wymiana)

max_len() {
    case "$1" in
        fuzz_zestaw) echo 262144 ;; # sets of up to 200 records, cut at any byte
        fuzz_wymiana) echo 16384 ;; # a question file of a few dozen questions
        *) echo 4096 ;;             # a record and a little more
    esac
}

install_missing() {
    local missing=()
    for p in clang-14 libclang-rt-14-dev qt6-base-dev cmake ninja-build; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    if [ "$(id -u)" -ne 0 ]; then
        echo "fuzz.sh: missing packages ${missing[*]}; run as root or install them" >&2
        exit 2
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

if [ "${FUZZ_NO_BUILD:-0}" != 1 ]; then
    command -v dpkg-query >/dev/null && install_missing
    cxx=$(command -v clang++-14 || command -v clang++)
    cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
    cmake --build "$build" -j "${FUZZ_JOBS:-2}" -- "${targets[@]}"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/testownik-fuzz-run.XXXXXX")
# Files the set target writes go to memory when it can (deletion syncs its temporary file), in
# a folder of their own that goes away with the run, also after a crash.
shm=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && shm=/dev/shm
files=$(mktemp -d "$shm/testownik-fuzz-files.XXXXXX")
trap 'rm -rf "$files"' EXIT
status=0
summary=()

for t in "${targets[@]}"; do
    bin="$build/$t"
    corpus="$work/$t-corpus"
    log="$work/$t.log"
    mkdir -p "$corpus"
    cp fuzz/corpus/"$t"/* "$corpus"/

    # Inputs that once failed must pass before new ones are looked for.
    if compgen -G "fuzz/crashes/$t/*" >/dev/null; then
        if ! TMPDIR=$files "$bin" fuzz/crashes/"$t"/* >"$work/$t-replay.log" 2>&1; then
            summary+=("$t: FAILED replaying fuzz/crashes/$t (see $work/$t-replay.log)")
            status=1
            continue
        fi
    fi

    rc=0
    TMPDIR=$files "$bin" -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=20 \
        -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$work/$t-" "$corpus" >"$log" 2>&1 || rc=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$last")
    if [ "$rc" -eq 0 ]; then
        summary+=("$t: ok, ${runs:-?} runs in ${seconds}s (${rate:-?}/s), cov ${cov:-?}, features ${ft:-?}, corpus ${corp:-?}")
    else
        artifact=$(ls "$work/$t-"{crash,leak,timeout,oom,slow-unit}-* 2>/dev/null | head -1 || true)
        summary+=("$t: FAILED (exit $rc) after ${runs:-?} runs; input ${artifact:-none}; log $log")
        grep -E 'ERROR:|check failed|runtime error' "$log" | head -5 >&2 || true
        status=1
    fi
done

printf '%s\n' "${summary[@]}"
if [ "$status" -ne 0 ] || [ "${FUZZ_KEEP:-0}" = 1 ]; then
    echo "fuzz.sh: run folder kept: $work"
else
    rm -rf "$work"
fi
exit "$status"
