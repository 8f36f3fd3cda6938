#!/bin/sh
# Runs the screenshot test program on a virtual X display; exit 77 (skipped) without Xvfb.
prog="$1"
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run is not installed: screenshot test skipped (install xvfb and xauth)"
    exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$prog" \
    --gtest_filter='Screenshot.*'
