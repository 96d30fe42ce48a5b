#!/usr/bin/env bash
# single_instance.sh PROGRAM WORKDIR
# One copy holds the book. The first copy (a real-time window on SDL's dummy
# driver) holds its saved progress file, created empty; a second copy finds
# the first's window, brings it forward and ends with exit code 1 showing
# nothing. With the first copy stopped, seventy copies at once (more than its
# queue of connections holds) each give up within seconds: one line, exit 1.
# SIGTERM closes the first normally and it saves the whole record. Fifty
# copies started at once: one keeps running, the others bring it forward and
# end (exit 1, nothing said; one that showed a box would wait on it). A file
# held by another process while no window of the class exists: "I cannot the
# book?", exit 1.
set -u
program=$1 work=$2
source "$(dirname "$0")/../support/device_run.sh"
fresh_work "$work"
export SDL_VIDEODRIVER=dummy
file="$work/store/QOT1Fernvale.dat"
start_first_copy "$program" "$work" qot1fernvale
[ -f "$file" ] && [ ! -s "$file" ] || { echo "the file is not there, empty, while the first copy runs"; ls -l "$work/store"; exit 1; }

echo dump >"$work/second.script"
"$program" --headless --script "$work/second.script" --store "$work/store" >"$work/second.out" 2>"$work/second.err"
code=$?
[ $code = 1 ] || { echo "second copy: exit $code, expected 1"; cat "$work/second.err"; exit 1; }
[ ! -s "$work/second.out" ] || { echo "second copy showed:"; cat "$work/second.out"; exit 1; }

# Starts N copies at once (ARGS after KEEP), waits up to 15 s for all but
# KEEP of them to end, and leaves in $codes their exit codes ("-" for one
# still running, the last of them in $survivor) and in $work/copies.err what
# they all said.
start_copies() {  # start_copies N KEEP ARGS...
    local n=$1 keep=$2; shift 2
    local pids=() i
    # Each waits for its line on a FIFO, so that they all start together.
    rm -f "$work/go" && mkfifo "$work/go" && exec 8<>"$work/go"
    for i in $(seq "$n"); do
        { exec 8>&-; read -r _ <"$work/go"; exec "$program" "$@" --store "$work/store"; } >/dev/null 2>"$work/copy$i.err" &
        pids+=($!)
    done
    printf '\n%.0s' $(seq "$n") >&8
    for _ in $(seq 150); do
        running=0
        for i in "${pids[@]}"; do kill -0 "$i" 2>/dev/null && running=$((running + 1)); done
        [ $running -le "$keep" ] && break
        sleep 0.1
    done
    codes=
    for i in "${pids[@]}"; do
        if kill -0 "$i" 2>/dev/null; then codes+="- "; survivor=$i; else wait "$i"; codes+="$? "; fi
    done
    exec 8>&-
    cat "$work"/copy*.err >"$work/copies.err"
    rm -f "$work"/copy*.err
}

kill -STOP $first
start_copies 70 0 --headless
kill -CONT $first
[ "$codes" = "$(printf '1 %.0s' $(seq 70))" ] ||
    { echo "behind a stopped copy: exit codes $codes"; kill $(jobs -p); exit 1; }
[ "$(sort -u "$work/copies.err")" = "fernvale: another copy holds the book and is not answering" ] &&
    [ "$(wc -l <"$work/copies.err")" = 70 ] || { echo "behind a stopped copy they said:"; cat "$work/copies.err"; exit 1; }

kill -TERM $first
wait $first
code=$?
trap - EXIT
[ $code = 0 ] || { echo "first copy: exit $code after SIGTERM"; cat "$work/first.err"; exit 1; }
[ "$(stat -c %s "$file")" = 1160 ] || { echo "saved $(stat -c %s "$file") bytes"; exit 1; }
[ "$(od -An -tu1 -j28 -N1 "$file" | tr -d ' ')" = 218 ] || { echo "no version 218 in the saved file"; exit 1; }

# Fifty at once on a fresh store.
rm -f "$file"
start_copies 50 1
[ "$(echo $codes | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')" = "- $(printf '1 %.0s' $(seq 49))" ] ||
    { echo "fifty at once: exit codes $codes"; cat "$work/copies.err"; kill $(jobs -p); exit 1; }
[ ! -s "$work/copies.err" ] || { echo "fifty at once, they said:"; cat "$work/copies.err"; kill $survivor; exit 1; }
kill -TERM $survivor
wait $survivor
code=$?
[ $code = 0 ] && [ "$(stat -c %s "$file")" = 1160 ] || { echo "the one left: exit $code, saved $(stat -c %s "$file") bytes"; exit 1; }

# Another process holds the file and no reader window exists.
exec 9<"$file"
flock -x 9
printf 'dump\nanswer OK\n' >"$work/third.script"
"$program" --headless --script "$work/third.script" --store "$work/store" >"$work/third.out" 2>"$work/third.err"
code=$?
exec 9<&-
[ $code = 1 ] || { echo "with the file held: exit $code, expected 1"; cat "$work/third.err"; exit 1; }
grep -q '^messagebox "I cannot the book?" caption "" type 0x0$' "$work/third.out" ||
    { echo "with the file held the reader showed:"; cat "$work/third.out"; exit 1; }
exit 0
