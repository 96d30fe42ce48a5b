#!/usr/bin/env bash
# Two copies of the sample on one device: the first runs in a real-time
# window (SDL's dummy video driver, no display needed); the second finds the
# first's window through FindWindowW, brings it forward and ends with exit
# code 1; the first then still ends normally when it is asked to close.
set -u
program=$1 work=$2
rm -rf "$work" && mkdir -p "$work/store" "$work/run"
export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work/run"
# A background job starts with SIGINT ignored; the device keeps an ignored
# SIGINT ignored, so it is given back its default here.
SDL_VIDEODRIVER=dummy env --default-signal=INT "$program" --store "$work/store" >"$work/first.out" 2>"$work/first.err" &
first=$!
trap 'kill $first 2>/dev/null' EXIT
for _ in $(seq 100); do
    [ -S "$work/run/fernvale-samplewindow.sock" ] && break
    sleep 0.1
done
sleep 0.3  # the socket file appears just before it listens
[ -S "$work/run/fernvale-samplewindow.sock" ] || { echo "the first copy never listened"; cat "$work/first.err"; exit 1; }
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
