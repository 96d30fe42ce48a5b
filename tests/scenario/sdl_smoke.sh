#!/usr/bin/env bash
# The real window: the sample runs under Xvfb at scale 2; xdotool clicks the
# "Sound" check box through the window and types into the answer box; the
# window is then closed with SIGTERM, and the program must end normally,
# reporting what it saw. Skipped (77) without xvfb-run or xdotool.
set -u
program=$1 work=$2
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "xvfb-run or xdotool missing"; exit 77; }
rm -rf "$work" && mkdir -p "$work/store" "$work/run"
export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work/run"
unset SDL_VIDEODRIVER
# Under the sanitizer build the X11 window's system libraries (dbus, X11)
# leak on exit, unsymbolized; leak checking is left to the tests that run on
# SDL's dummy driver.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
xvfb-run -a -s "-screen 0 800x700x24" bash -c '
    program=$1 work=$2
    "$program" --store "$work/store" --scale 2 >"$work/out" 2>"$work/err" &
    pid=$!
    win=$(timeout 10 xdotool search --sync --onlyvisible --name "^$(basename "$program")\$" | head -1)
    [ -n "$win" ] || { echo "no window"; kill $pid; exit 1; }
    xdotool getwindowgeometry "$win" >"$work/geometry"
    sleep 0.5
    # Screen pixel (20,74) is the Sound check box; (60,45) the answer box.
    xdotool mousemove --window "$win" 40 148 click 1
    sleep 0.3
    xdotool mousemove --window "$win" 120 90 click 1
    sleep 0.3
    xdotool type --window "$win" --delay 50 "fern"
    xdotool key --window "$win" Return
    sleep 0.5
    kill -TERM $pid
    wait $pid
    echo $? >"$work/code"
' smoke "$program" "$work"
cat "$work/err"
[ "$(cat "$work/code" 2>/dev/null)" = 0 ] || { echo "exit code $(cat "$work/code" 2>/dev/null)"; exit 1; }
grep -q '^sample: answer "fern" sound 1 ' "$work/out" || { echo "the program saw:"; cat "$work/out"; cat "$work/geometry"; exit 1; }
exit 0
