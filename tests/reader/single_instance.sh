#!/usr/bin/env bash
# single_instance.sh PROGRAM WORKDIR
# The first copy (a real-time window on SDL's dummy driver) holds its saved
# progress file, created empty; a second copy finds the first's window, brings
# it forward and ends with exit code 1 showing nothing; SIGTERM closes the
# first normally and it saves the whole record. A file held by another
# process while no window of the class exists: "I cannot the book?", exit 1.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
file="$work/store/QOT1Fernvale.dat"
start_first_copy "$program" "$work" qot1fernvale
[ -f "$file" ] && [ ! -s "$file" ] || { echo "the file is not there, empty, while the first copy runs"; ls -l "$work/store"; exit 1; }

echo dump >"$work/second.script"
SDL_VIDEODRIVER=dummy "$program" --headless --script "$work/second.script" --store "$work/store" >"$work/second.out" 2>"$work/second.err"
code=$?
[ $code = 1 ] || { echo "second copy: exit $code, expected 1"; cat "$work/second.err"; exit 1; }
[ ! -s "$work/second.out" ] || { echo "second copy showed:"; cat "$work/second.out"; exit 1; }

kill -TERM $first
wait $first
code=$?
trap - EXIT
[ $code = 0 ] || { echo "first copy: exit $code after SIGTERM"; cat "$work/first.err"; exit 1; }
[ "$(stat -c %s "$file")" = 1160 ] || { echo "saved $(stat -c %s "$file") bytes"; exit 1; }
[ "$(od -An -tu1 -j28 -N1 "$file" | tr -d ' ')" = 218 ] || { echo "no version 218 in the saved file"; exit 1; }

# Another process holds the file and no reader window exists. The holder
# reads a pipe this script keeps open, so it ends with the script and leaves
# nothing behind holding ctest's output.
exec 8> >(flock -x "$file" cat >/dev/null 2>&1)
until ! flock -n "$file" true 2>/dev/null; do sleep 0.05; done
printf 'dump\nanswer OK\n' >"$work/third.script"
SDL_VIDEODRIVER=dummy "$program" --headless --script "$work/third.script" --store "$work/store" >"$work/third.out" 2>"$work/third.err"
code=$?
[ $code = 1 ] || { echo "with the file held: exit $code, expected 1"; cat "$work/third.err"; exit 1; }
grep -q '^messagebox "I cannot the book?" caption "" type 0x0$' "$work/third.out" ||
    { echo "with the file held the reader showed:"; cat "$work/third.out"; exit 1; }
exit 0
