#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
# --sanitize builds into build-asan with AddressSanitizer and UBSan instead. Further arguments
# go to cmake as they stand (CI: -DBRISELLA_WERROR=ON -DBRISELLA_BUILD_BENCH=OFF).
# Usage: scripts/test.sh [--sanitize] [-DOPTION=VALUE...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# Release: the suite needs optimised code, not debug information, which would make every test
# program hundreds of megabytes to write and link. scripts/run.sh builds the same tree alike.
dir=build
opts=(-DCMAKE_BUILD_TYPE=Release)
if [ "${1:-}" = "--sanitize" ]; then
    shift
    dir=build-asan
    opts=(-DCMAKE_BUILD_TYPE=Debug -DBRISELLA_SANITIZE=ON -DBRISELLA_BUILD_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" -G Ninja "${opts[@]}" "$@"
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 900
