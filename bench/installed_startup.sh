#!/usr/bin/env bash
# Start-up of the installed program on a virtual X display, five runs, each a first start of a
# new user (empty home: the sample cards are copied into the program folder and the browser
# shows them). Two times per run, from the start of the process:
#   window - until the main window is mapped (tight polling with xdotool);
#   browser - until a screenshot shows the browser's mark on its first card (polled with
#             screenshots, so it includes up to one screenshot's time, about 30-60 ms).
# Prints every run and the medians. Runs the program as user 65534 when started as root (as
# root, /usr/bin would be writable and so become the program folder).
# Usage: bench/installed_startup.sh [PROGRAM]   (default /usr/bin/brisella-bildwerker)
set -euo pipefail
prog=${1:-/usr/bin/brisella-bildwerker}
[ -x "$prog" ] || { echo "program not found: $prog" >&2; exit 1; }
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
d=90
while [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ]; do d=$((d + 1)); done
export DISPLAY=:$d
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
home=""
log=$(mktemp)
chmod 666 "$log"
trap 'kill $xvfb 2>/dev/null; rm -f "$log"; [ -n "$home" ] && rm -rf "$home"' EXIT
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done
xdotool getmouselocation >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY" >&2; exit 1; }

as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
marked() {  # the browser's pure blue mark on the screen
    local box
    box=$(import -window root ppm:- 2>/dev/null |
        convert ppm:- -fill black +opaque "rgb(0,0,255)" -format '%@' info: 2>/dev/null) || true
    case "$box" in "" | 0x0+*) return 1 ;; *) return 0 ;; esac
}
wins="" browsers=""
for run in 1 2 3 4 5; do
    home=$(mktemp -d)
    [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$home"
    start=$(date +%s%N)
    "${as_user[@]}" env -i DISPLAY="$DISPLAY" HOME="$home" XDG_RUNTIME_DIR="$home" \
        QT_QPA_PLATFORM=xcb "$prog" >"$log" 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "^Tovarin Brisella-Bildwerker 1.0" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { cat "$log" >&2; echo "the program ended before its window showed" >&2; exit 1; }
        [ $(($(date +%s%N) - start)) -lt 20000000000 ] || { echo "no window after 20 s" >&2; exit 1; }
    done
    mapped=$(date +%s%N)
    for _ in $(seq 200); do marked && break; done
    shown=$(date +%s%N)
    cards=$(ls "$home"/.local/share/Tovarin/Brisella-Bildwerker/*.kar 2>/dev/null | wc -l)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -rf "$home"
    home=""
    w=$(((mapped - start) / 1000000))
    b=$(((shown - start) / 1000000))
    echo "run $run: window $w ms, browser with $cards cards $b ms"
    wins="$wins $w"
    browsers="$browsers $b"
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | sed -n 3p; }
echo "median: window $(median "$wins") ms, browser $(median "$browsers") ms"
