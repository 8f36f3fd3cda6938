#!/usr/bin/env bash
# The file manager's thumbnailer as a whole process: "brisella-cli thumbnail CARD -o OUT -s 128"
# for every sample card, timed with hyperfine (warm-up 5, 30 runs each).
# Usage: bench/thumbnailer_time.sh [BRISELLA_CLI [SAMPLE_FOLDER]]
#   defaults: the installed /usr/bin/brisella-cli and /usr/share/brisella-bildwerker/samples
set -euo pipefail
cli=${1:-/usr/bin/brisella-cli}
samples=${2:-/usr/share/brisella-bildwerker/samples}
command -v hyperfine >/dev/null || { echo "needs hyperfine" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cmds=()
for card in "$samples"/*.kar; do
    cmds+=("$cli thumbnail '$card' -o $out/$(basename "$card" .kar).png -s 128")
done
hyperfine -N -w 5 -r 30 "${cmds[@]}" 2>&1 | grep -E "^Benchmark|Time \(mean"
