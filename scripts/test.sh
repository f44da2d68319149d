#!/usr/bin/env bash
# Builds everything and runs every test: the formatting check, the suite (unit, window, browser,
# package and end-to-end tests; warnings are errors), the same suite built with AddressSanitizer
# and UndefinedBehaviorSanitizer, a short bounded run of each fuzz target (FUZZ_SECONDS, 60 by
# default; 0 skips it), the Windows build with its tests under Wine (scripts/windows.sh), and last
# the start-up benchmark's figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --test
if [ -f tests/browser/package-lock.json ]; then
    npm ci --prefix tests/browser --no-audit --no-fund --loglevel=error
fi

# Every C++ file of ours exactly as clang-format writes it.
find src tests fuzz bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

cmake --preset default >/dev/null
cmake --build --preset default
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize

# Under the sanitizers: everything that runs our code in-process. The browser, package and
# end-to-end tests drive the ordinary build and run once, below.
ctest --preset sanitize -j2 -E 'tst_przegladarka|tst_uczen|tst_pakiet|e2e'

seconds=${FUZZ_SECONDS:-60}
if [ -f scripts/fuzz.sh ] && [ "$seconds" != 0 ]; then
    FUZZ_SECONDS=$seconds bash scripts/fuzz.sh
    # The fuzz build's own tests: corpus and crash replays.
    cmake --build build-fuzz
    ctest --test-dir build-fuzz --output-on-failure
fi

ctest --preset default -j2
bash scripts/windows.sh
bash scripts/startup.sh build
