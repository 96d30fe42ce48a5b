#!/usr/bin/env bash
# window_keys.sh PROGRAM WORKDIR
# The keyboard and the wheel in the real window under Xvfb, through SDL's
# events: after the intro, Tab shows the focus ring on "INSTRUCTIONS" and
# Return taps it; the wheel scrolls the instructions to their end;
# Shift+Tab takes the ring round to the icon bar's return arrow and Return
# taps it; on paragraph 2 Return taps "Begin the journey". The transcript
# must hold the choices taken and the instructions' last line, which only
# the scroll shows; the saved file holds paragraph 48. Skipped (77) without
# xvfb-run or xdotool.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
run_in_window "$program" "$work" '
    sleep 4.5   # the two intro pages, 2 s each
    key() { xdotool key --window "$win" "$1"; sleep 0.4; }
    key Tab
    key Return
    xdotool mousemove --window "$win" 240 300
    for _ in 1 2 3 4 5 6 7 8 9 10 11; do xdotool click --window "$win" 5; sleep 0.05; done
    sleep 0.4
    key shift+Tab
    key Return
    key Return' --transcript "$work/transcript.txt"
position=$(od -An -tu2 -N2 "$work/store/QOT1Fernvale.dat" | tr -d ' ')
[ "$position" = 48 ] || { echo "saved at paragraph $position, expected 48"; exit 1; }
for want in "> INSTRUCTIONS" "the hints page selected from the menu." "> icon bar: Back to the story" \
    "> Begin the journey"; do
    grep -qF "$want" "$work/transcript.txt" || { echo "the transcript lacks: $want"; cat "$work/transcript.txt"; exit 1; }
done
exit 0
