# A fire: a low roar of brown noise with crackles and pops at fixed
# pseudo-random moments.
sox -n -c 1 roar.wav synth 3 brownnoise lowpass 500 tremolo 3 40 fade q 0.4 3 0.6
inputs=""
i=0
for at in 0.15 0.33 0.41 0.62 0.90 1.04 1.12 1.37 1.55 1.71 1.93 2.08 2.20 2.46 2.61; do
    i=$((i + 1))
    len=0.00$((4 + i % 5))
    sox -n -c 1 pop$i.wav synth "$len" whitenoise vol 0.5 highpass $((1500 + (i * 611) % 2500)) \
        fade l 0 "$len" 0.003 pad "$at"
    inputs="$inputs -v 0.8 pop$i.wav"
done
sox -m -v 0.5 roar.wav $inputs "$1"
