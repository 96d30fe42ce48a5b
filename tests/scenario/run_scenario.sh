#!/usr/bin/env bash
# run_scenario.sh [--fail] PROGRAM SCRIPT WORKDIR
# Runs SCRIPT headless against PROGRAM with a fresh object store and the
# clock at 5000 ms. Normally the exit code must be 0 and stdout must equal
# SCRIPT's .dump file; with --fail the exit code must be non-zero and stderr
# must equal the .err file. Differences are printed as a diff.
set -u
fail=0
if [ "$1" = "--fail" ]; then fail=1; shift; fi
program=$1 script=$2 work=$3
rm -rf "$work" && mkdir -p "$work/store"
cd "$(dirname "$script")" || exit 1
name=$(basename "$script")
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy XDG_RUNTIME_DIR="$work"
"$program" --headless --script "$name" --store "$work/store" --clock 5000 >"$work/out" 2>"$work/err"
code=$?
if [ $fail = 0 ]; then
    expected="${script%.script}.dump"
    [ $code = 0 ] || { echo "exit code $code"; cat "$work/err"; exit 1; }
    [ -s "$work/err" ] && { echo "unexpected stderr:"; cat "$work/err"; exit 1; }
    diff -u "$expected" "$work/out" || { echo "stdout differs from $expected (actual: $work/out)"; exit 1; }
else
    expected="${script%.script}.err"
    [ $code != 0 ] || { echo "exit code 0, expected a failure"; exit 1; }
    [ $code -lt 128 ] || { echo "died with signal $((code - 128))"; exit 1; }
    diff -u "$expected" "$work/err" || { echo "stderr differs from $expected"; exit 1; }
fi
exit 0
