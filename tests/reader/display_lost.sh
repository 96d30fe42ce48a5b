#!/usr/bin/env bash
# display_lost.sh PROGRAM WORKDIR
# The display's server ends under the reader's window: the program ends at
# once with one line on stderr and status 1. Skipped (77) without Xvfb.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
command -v Xvfb >/dev/null || { echo "Xvfb missing"; exit 77; }
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
display=:$(head -1 "$work/display")
DISPLAY=$display "$program" --store "$work/store" --report-first-frame >"$work/out" 2>"$work/err" &
pid=$!
for _ in $(seq 100); do
    grep -q 'first frame' "$work/out" && break
    sleep 0.1
done
kill $xvfb
timeout 10 tail -s 0.1 --pid=$pid -f /dev/null || kill -9 $pid
wait $pid
code=$?
expected="$(basename "$program"): the display $display closed the connection"
if [ $code != 1 ] || [ "$(cat "$work/err")" != "$expected" ]; then
    echo "exit $code, stderr: $(cat "$work/err") (expected status 1 and: $expected)"
    exit 1
fi
