# Something heavy falling into water: a burst of spray that dies away, the
# low plunge under it, and a few bubbles rising after.
sox -n -c 1 spray.wav synth 1.1 whitenoise vol 0.5 highpass 400 lowpass 5000 fade q 0.004 -0 1.0
sox -n -c 1 body.wav synth 0.3 sine 180:70 fade q 0.002 -0 0.28
inputs=""
i=0
for at in 0.35 0.47 0.56 0.70 0.81; do
    i=$((i + 1))
    f=$((500 + i * 170))
    sox -n -c 1 bubble$i.wav synth 0.04 sine $f:$((f * 2)) fade q 0.004 -0 0.025 pad "$at"
    inputs="$inputs -v 0.2 bubble$i.wav"
done
sox -m -v 0.5 spray.wav -v 0.4 body.wav $inputs "$1" compand 0.002,0.15 -70,-70,-40,-26,0,-6 0 -90 0.002
