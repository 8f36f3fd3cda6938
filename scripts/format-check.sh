#!/usr/bin/env bash
# Fails when a C++ file in src/, tests/, fuzz/ or bench/ is not formatted as .clang-format says
# (clang-format -i FILE fixes it).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find src tests fuzz bench -name '*.cpp' -o -name '*.h' | sort)
clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files formatted"
