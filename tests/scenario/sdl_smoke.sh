#!/usr/bin/env bash
# The real window: the sample runs under Xvfb at scale 2; xdotool clicks the
# "Sound" check box through the window and types into the answer box; the
# window is then closed with SIGTERM, and the program must end normally,
# reporting what it saw. Skipped (77) without xvfb-run or xdotool.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
run_in_window "$program" "$work" '
    xdotool getwindowgeometry "$win" >"$work/geometry"
    sleep 0.5
    # Screen pixel (20,74) is the Sound check box; (60,45) the answer box.
    xdotool mousemove --window "$win" 40 148 click 1
    sleep 0.3
    xdotool mousemove --window "$win" 120 90 click 1
    sleep 0.3
    xdotool type --window "$win" --delay 50 "fern"
    xdotool key --window "$win" Return
    sleep 0.5'
grep -q '^sample: answer "fern" sound 1 ' "$work/out" || { echo "the program saw:"; cat "$work/out"; cat "$work/geometry"; exit 1; }
exit 0
