#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The build type of scripts/test.sh, so the two share one build tree.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target brisella-bildwerker brisella-cli
exec build/src/app/brisella-bildwerker "$@"
