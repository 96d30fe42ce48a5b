#!/usr/bin/env bash
# window_smoke.sh PROGRAM WORKDIR
# The real reader in a real window under Xvfb at scale 2: after the intro, a
# click on the icon bar's down arrow opens the book and a click on "Begin the
# journey" takes the first choice; the window is closed with SIGTERM and the
# saved file holds the story paragraph reached (48). Skipped (77) without
# xvfb-run or xdotool.
set -u
program=$1 work=$2
command -v xvfb-run >/dev/null && command -v xdotool >/dev/null || { echo "xvfb-run or xdotool missing"; exit 77; }
rm -rf "$work" && mkdir -p "$work/store" "$work/run"
export SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work/run"
unset SDL_VIDEODRIVER
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
xvfb-run -a -s "-screen 0 800x700x24" bash -c '
    program=$1 work=$2
    "$program" --store "$work/store" --scale 2 >"$work/out" 2>"$work/err" &
    pid=$!
    win=$(timeout 10 xdotool search --sync --onlyvisible --name "^$(basename "$program")\$" | head -1)
    [ -n "$win" ] || { echo "no window"; kill $pid; exit 1; }
    sleep 4.5   # the two intro pages, 2 s each
    # Screen pixels (207,307): the down arrow; (111,211): "Begin the journey".
    xdotool mousemove --window "$win" 414 614 click 1
    sleep 0.5
    xdotool mousemove --window "$win" 222 422 click 1
    sleep 0.5
    kill -TERM $pid
    wait $pid
    echo $? >"$work/code"
' smoke "$program" "$work"
cat "$work/err"
[ "$(cat "$work/code" 2>/dev/null)" = 0 ] || { echo "exit code $(cat "$work/code" 2>/dev/null)"; exit 1; }
position=$(od -An -tu2 -N2 "$work/store/QOT1Fernvale.dat" | tr -d ' ')
[ "$position" = 48 ] || { echo "saved at paragraph $position, expected 48"; exit 1; }
exit 0
