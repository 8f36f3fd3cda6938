#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy over the program's sources in src/ (not the
# generated moc files), using the compile commands of a configured build tree; any finding
# fails. Two files at a time: run-clang-tidy where it is installed, else xargs -P2.
# Usage: scripts/tidy.sh [BUILD_DIR [FOLDER...]]   (default: build, all of src/)
# The build tree must have been built once (or at least its *_autogen targets), so that the
# moc headers the sources include exist.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build}")
shift || true
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(src)
[ -f "$build/compile_commands.json" ] ||
    { echo "tidy: $build has no compile_commands.json; configure it first" >&2; exit 1; }
jobs=${TIDY_JOBS:-2}
log=$(mktemp)
db=$(mktemp -d)
trap 'rm -rf "$log" "$db"' EXIT
# clang-tidy cannot read gcc's precompiled headers (nor another clang's). Each file is checked
# without them, as it stands (it includes what it uses).
python3 - "$build/compile_commands.json" "$db/compile_commands.json" <<'PY'
import json, re, sys
pch = re.compile(r" -Winvalid-pch| -Xclang -include-pch -Xclang \S+"
                 r"| (-Xclang )?-include (-Xclang )?\S*cmake_pch\.hxx")
entries = json.load(open(sys.argv[1]))
for e in entries:
    e["command"] = pch.sub("", e["command"])
json.dump(entries, open(sys.argv[2], "w"), indent=1)
PY

mapfile -t files < <(find "${folders[@]}" -name '*.cpp' | sort)
[ ${#files[@]} -gt 0 ] || { echo "tidy: no sources in ${folders[*]}" >&2; exit 1; }
echo "tidy: ${#files[@]} files with $jobs jobs"
status=0
if command -v run-clang-tidy >/dev/null; then
    # run-clang-tidy takes regular expressions; each one matches its file only.
    patterns=()
    for f in "${files[@]}"; do
        patterns+=("^$(printf '%s' "$root/$f" | sed 's/[].[*^$+?(){}|\\]/\\&/g')\$")
    done
    run-clang-tidy -quiet -p "$db" -j "$jobs" "${patterns[@]}" >"$log" 2>&1 || status=$?
else
    printf '%s\n' "${files[@]}" |
        xargs -P "$jobs" -n 1 clang-tidy --quiet -p "$db" >"$log" 2>&1 || status=$?
fi
# The findings without clang-tidy's own chatter.
grep -v '^clang-tidy\(-[0-9]*\)\? \|warnings\? generated\|^Suppressed \|^Use -header-filter\|^Enabled checks\|^ *$' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "tidy: findings above" >&2
    exit 1
fi
echo "tidy: clean"
