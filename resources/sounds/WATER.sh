# Running water: a brook's wash of filtered noise under a scatter of small
# rising bubbles, placed at fixed pseudo-random moments.
sox -n -c 1 wash.wav synth 2.5 brownnoise highpass 300 lowpass 3000 tremolo 7 30 fade q 0.4 2.5 0.6
set --  "$1"
inputs=""
i=0
for at in 0.12 0.31 0.38 0.55 0.71 0.84 0.97 1.08 1.22 1.35 1.41 1.58 1.70 1.83 1.95 2.07 2.18; do
    i=$((i + 1))
    f=$((700 + (i * 373) % 900))
    sox -n -c 1 bubble$i.wav synth 0.035 sine $f:$((f * 2)) fade q 0.004 0.035 0.02 pad "$at"
    inputs="$inputs -v 0.15 bubble$i.wav"
done
sox -m -v 0.6 wash.wav $inputs "$1" compand 0.0005,0.05 -70,-70,-36,-24,0,-15 0 -90 0.0005
