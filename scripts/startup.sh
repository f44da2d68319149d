#!/usr/bin/env bash
# Prints how long the main menu takes to show against a bare Qt window with one button, three
# runs of the start-up benchmark from the given build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
for run in 1 2 3; do
    QT_QPA_PLATFORM=offscreen "${1:-build}/bench/bench_start" 15
done
