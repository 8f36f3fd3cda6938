#!/bin/sh
# Start-up to a shown window, as a whole process on a virtual X display: five runs, each
# from a fresh copy of the program in an empty folder (its program folder), timed from the
# start of the process until its main window is mapped. Prints every run and the median.
# Usage: bench/startup_time.sh [path/to/brisella-bildwerker]   (default: the release build)
set -eu
prog=${1:-$(dirname "$0")/../build-rel/src/app/brisella-bildwerker}
[ -x "$prog" ] || { echo "program not found: $prog" >&2; exit 1; }
command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
    { echo "needs Xvfb and xdotool" >&2; exit 1; }
display=:$((90 + $$ % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
until xdotool getmouselocation >/dev/null 2>&1; do sleep 0.05; done
times=""
for run in 1 2 3 4 5; do
    dir=$(mktemp -d)
    cp "$prog" "$dir/"
    export XDG_CONFIG_HOME="$dir/config"  # no placement from an earlier run
    start=$(date +%s%N)
    "$dir/$(basename "$prog")" &
    pid=$!
    until xdotool search --onlyvisible --name "^Tovarin Brisella-Bildwerker 1.0" >/dev/null 2>&1; do
        :
    done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -rf "$dir"
    ms=$(( (end - start) / 1000000 ))
    echo "run $run: $ms ms"
    times="$times $ms"
done
echo "$times" | tr ' ' '\n' | grep . | sort -n | sed -n 3p | sed 's/^/median: /; s/$/ ms/'
