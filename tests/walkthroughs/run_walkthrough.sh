#!/usr/bin/env bash
# run_walkthrough.sh [--update] PROGRAM SCRIPT WORKDIR
# Replays a walkthrough headless against the reader from a fresh start, with
# the device clock of SCRIPT's .clock file (it decides the rolls). The screen
# dump at the ending must equal SCRIPT's .dump file; --update writes it instead.
set -u
update=0
if [ "$1" = "--update" ]; then update=1; shift; fi
program=$1 script=$2 work=$3
rm -rf "$work" && mkdir -p "$work/store"
expected="${script%.script}.dump"
clock=$(cat "${script%.script}.clock") || exit 1
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy XDG_RUNTIME_DIR="$work"
"$program" --headless --script "$script" --store "$work/store" --clock "$clock" >"$work/out" 2>"$work/err"
code=$?
[ $code = 0 ] || { echo "exit code $code"; cat "$work/err"; exit 1; }
[ -s "$work/err" ] && { echo "unexpected stderr:"; cat "$work/err"; exit 1; }
# The page the script says it ends on must be the one on screen.
title=$(sed -n 's/^# ends on \(".*"\)$/\1/p' "$script")
grep -qF "weight 700 $title" "$work/out" || { echo "the replay does not end on $title (actual: $work/out)"; exit 1; }
if [ $update = 1 ]; then cp "$work/out" "$expected"; exit 0; fi
diff -u "$expected" "$work/out" || { echo "the ending's screen differs (actual: $work/out)"; exit 1; }
