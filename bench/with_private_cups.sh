#!/usr/bin/env bash
# Runs a command (a benchmark) with the private CUPS server of the tests:
#   bench/with_private_cups.sh build/bench/bench_print --benchmark_filter=Queue
# starts tests/support/private-cups.sh in a temporary folder, runs the command with
# CUPS_SERVER and BRISELLA_PRIVATE_CUPS set, and stops the server again, also on failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: $0 COMMAND [ARGS...]" >&2; exit 2; }
dir=$(mktemp -d /tmp/brisella-bench-cups.XXXXXX)
chmod 0755 "$dir"
trap '"$here/../tests/support/private-cups.sh" stop "$dir/server"; rm -rf "$dir"' EXIT
"$here/../tests/support/private-cups.sh" start "$dir/server"
if [ -f "$dir/server/unavailable" ]; then
    echo "no private CUPS server: $(cat "$dir/server/unavailable")" >&2
    exit 1
fi
export CUPS_SERVER=$dir/server/cups.sock BRISELLA_PRIVATE_CUPS=$dir/server
"$@"
