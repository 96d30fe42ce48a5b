#!/bin/sh
# Draws one sound's spectrogram for the spectrogram sheet: the whole sound left
# to right over a time axis in seconds, 0 to 11 kHz upwards, titled with the
# sound's name and length.
#   sound_picture.sh <sox> <sound.wav> <name> <out.png>
set -eu
sox=$1 wav=$2 name=$3 png=$4
seconds=$("$sox" --i -D "$wav")
title=$(printf '%s: %.2f s' "$name" "$seconds")
"$sox" "$wav" -n spectrogram -x 600 -y 129 -z 90 -t "$title" -c " " -o "$png"
