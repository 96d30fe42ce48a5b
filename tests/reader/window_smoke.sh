#!/usr/bin/env bash
# window_smoke.sh PROGRAM WORKDIR
# The real reader in a real window under Xvfb at scale 2: after the intro, a
# click on the icon bar's down arrow opens the book and a click on "Begin the
# journey" takes the first choice; the window is closed with SIGTERM and the
# saved file holds the story paragraph reached (48). The window (found by its
# class, "fernvale") is titled as the program's own window and shows the
# program's 32x32 icon, and each new page reaches the window (the window
# skips frames it already shows, so a frame kept back would show here).
# Skipped (77) without xvfb-run or xdotool.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
run_in_window "$program" "$work" '
    sleep 4.5   # the two intro pages, 2 s each
    xdotool getwindowname "$win" >"$work/title"
    xprop -id "$win" _NET_WM_ICON | head -c 60 >"$work/icon"
    xwd -silent -id "$win" >"$work/intro.xwd"
    # Screen pixels (207,307): the down arrow; (111,211): "Begin the journey".
    xdotool mousemove --window "$win" 414 614 click 1
    sleep 0.5
    xwd -silent -id "$win" >"$work/opened.xwd"
    xdotool mousemove --window "$win" 222 422 click 1
    sleep 0.5
    xwd -silent -id "$win" >"$work/chosen.xwd"'
[ "$(cat "$work/title")" = "Fernvale Adventure" ] || { echo "window title: $(cat "$work/title")"; exit 1; }
grep -q "Icon (32 x 32)" "$work/icon" || { echo "window icon: $(cat "$work/icon")"; exit 1; }
for shown in opened chosen; do
    [ -s "$work/$shown.xwd" ] || { echo "no picture of the window ($shown)"; exit 1; }
done
cmp -s "$work/intro.xwd" "$work/opened.xwd" && { echo "the window kept the intro page"; exit 1; }
cmp -s "$work/opened.xwd" "$work/chosen.xwd" && { echo "the window kept the first page"; exit 1; }
position=$(od -An -tu2 -N2 "$work/store/QOT1Fernvale.dat" | tr -d ' ')
[ "$position" = 48 ] || { echo "saved at paragraph $position, expected 48"; exit 1; }
exit 0
