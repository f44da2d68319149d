#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --test
if [ -f tests/browser/package-lock.json ]; then
    npm ci --prefix tests/browser --no-audit --no-fund --loglevel=error
fi
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default -j2
