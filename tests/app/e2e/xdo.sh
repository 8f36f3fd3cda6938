# shellcheck shell=bash
# Driving the program with xdotool on a virtual X display: the helpers that the end-to-end
# day and the guide's screenshots share. Sourced; the caller defines fail MESSAGE and
# focus_main (gives the main window the keyboard again).

# Every xdotool call has a time limit: a --sync wait for something that never happens would
# otherwise hang the run.
xdotool_bin=$(command -v xdotool)
xdotool() { timeout 20 "$xdotool_bin" "$@"; }

# pause SECONDS: a fixed wait, stretched by BRISELLA_E2E_SLOWDOWN for slow builds
# (the sanitizer tree runs the program several times slower).
pause() { sleep "$(awk -v s="$1" -v f="${BRISELLA_E2E_SLOWDOWN:-1}" 'BEGIN { print s * f }')"; }

key() { xdotool key --clearmodifiers --delay 60 "$@"; pause 0.4; }
type_text() { xdotool type --clearmodifiers --delay 20 "$1"; pause 0.2; }
click() { xdotool mousemove --sync "$1" "$2" click 1; pause 0.6; }

# wait_window REGEX: until a visible window's title matches; prints its id. (xdotool's regex
# matches ASCII letters only: "ö" and "ü" cannot stand in it.)
wait_window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1) || true
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        pause 0.05
    done
    fail "no window \"$1\""
}
# wait_gone REGEX: until no visible window matches; then the keyboard goes back to the main
# window (there is no window manager to hand it back).
wait_gone() {
    for _ in $(seq 200); do
        if ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; then
            pause 0.2
            focus_main
            return 0
        fi
        pause 0.05
    done
    fail "window \"$1\" did not close"
}
