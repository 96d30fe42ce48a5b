#!/usr/bin/env bash
# Two copies of the sample on one device: the first runs in a real-time
# window (SDL's dummy video driver, no display needed); the second finds the
# first's window through FindWindowW, brings it forward and ends with exit
# code 1; the first then still ends normally when it is asked to close.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
start_first_copy "$program" "$work" samplewindow
"$program" --headless --store "$work/store" >"$work/second.out" 2>"$work/second.err"
code=$?
[ $code = 1 ] || { echo "second copy: exit $code, expected 1"; cat "$work/second.err"; exit 1; }
grep -qx "sample: another copy runs; brought it forward" "$work/second.out" ||
    { echo "second copy said:"; cat "$work/second.out"; exit 1; }
kill -INT $first   # SIGINT here; the window test uses SIGTERM
wait $first
code=$?
trap - EXIT
[ $code = 0 ] || { echo "first copy: exit $code after SIGINT"; cat "$work/first.err"; exit 1; }
grep -q "^sample: answer" "$work/first.out" || { echo "first copy did not end normally"; exit 1; }
[ ! -e "$work/run/fernvale-samplewindow.sock" ] || { echo "the socket was left behind"; exit 1; }
# With the first copy gone, a new copy starts normally and finds no stale window.
"$program" --headless --store "$work/store" >"$work/third.out" 2>"$work/third.err" ||
    { echo "third copy failed"; cat "$work/third.err"; exit 1; }
grep -q "^sample: answer" "$work/third.out" || { echo "third copy said:"; cat "$work/third.out"; exit 1; }
exit 0
