#!/usr/bin/env bash
# run_reader.sh [--update] PROGRAM SCRIPT WORKDIR
# Runs SCRIPT headless against the reader with a fresh object store and the
# clock at 5000 ms. A line "# resume N" in the script first leaves a saved
# progress file at story paragraph N (sound on, nothing held); "# clock MS"
# starts the clock there instead; "# options ..." adds device options, where
# WORK/ stands for the run's folder. What the run prints, then the transcript
# WORK/transcript.txt and the device's settings file when the run wrote them,
# then the saved progress file as
# it is left (its size and its non-zero bytes, "offset value"), must equal
# SCRIPT's .dump file; --update writes it instead.
set -u
update=0
if [ "$1" = "--update" ]; then update=1; shift; fi
program=$1 script=$2 work=$3
rm -rf "$work" && mkdir -p "$work/store"
cd "$(dirname "$script")" || exit 1
name=$(basename "$script")
store="$work/store/QOT1Fernvale.dat"
resume=$(sed -n 's/^# resume \([0-9][0-9]*\)$/\1/p' "$name")
if [ -n "$resume" ]; then
    byte() { printf "\\$(printf %03o "$1")"; }
    { byte $((resume & 255)); byte $((resume >> 8)); byte 1; head -c 25 /dev/zero
      byte 218; head -c 1131 /dev/zero; } >"$store"
fi
export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=dummy XDG_RUNTIME_DIR="$work"
clock=$(sed -n 's/^# clock \([0-9][0-9]*\)$/\1/p' "$name")
read -r -a options <<<"$(sed -n 's/^# options //p' "$name" | sed "s|WORK/|$work/|g")"
"$program" --headless --script "$name" --store "$work/store" --clock "${clock:-5000}" "${options[@]}" \
    >"$work/out" 2>"$work/err"
code=$?
[ $code = 0 ] || { echo "exit code $code"; cat "$work/err"; exit 1; }
[ -s "$work/err" ] && { echo "unexpected stderr:"; cat "$work/err"; exit 1; }
{
    [ -f "$work/transcript.txt" ] && { echo "transcript:"; cat "$work/transcript.txt"; }
    [ -f "$work/store-device.conf" ] && { echo "settings:"; cat "$work/store-device.conf"; }
    echo "saved $(stat -c %s "$store") bytes"
    od -An -Ad -tu1 -v -w1 "$store" | awk 'NF == 2 && $2 != 0 { print $1 + 0, $2 }'
} >>"$work/out"
if [ $update = 1 ]; then cp "$work/out" "${script%.script}.dump"; exit 0; fi
diff -u "${script%.script}.dump" "$work/out" || { echo "output differs (actual: $work/out)"; exit 1; }
exit 0
