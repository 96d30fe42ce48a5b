#!/bin/sh
# Runs one sound recipe and finishes it the same way for every sound: mono,
# 22050 Hz, 16-bit PCM, a 5 ms fade in and 20 ms fade out so neither end
# clicks, and the peak normalised to -3 dBFS.
#   render-sound.sh <recipe.sh> <work.wav> <out.wav>
# A recipe is a POSIX shell script that writes its sound, at any rate and
# channel count sox reads, to the file named by its first argument. It runs in
# a scratch folder of its own, where it may keep its parts.
set -u
recipe=$1 raw=$2 out=$3
# The same recipe always gives the same file.
export SOX_OPTS=-R
rm -rf "$raw" "$raw.parts"
mkdir -p "$raw.parts"
(cd "$raw.parts" && sh -eu "$recipe" "$raw") && [ -s "$raw" ] || { echo "$recipe: the recipe failed" >&2; exit 1; }
sox "$raw" -b 16 -e signed-integer "$out" remix - vol 0.5 rate 22050 fade 0.005 -0 0.02 norm -3 ||
    { echo "$recipe: its sound cannot be finished" >&2; exit 1; }
