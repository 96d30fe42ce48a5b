# Four footsteps on stone: each the dull thud of a heel and the scuff of a
# sole, half a second apart.
sox -m -v 0.6 "|sox -n -p synth 0.15 sine 90 fade l 0.002 0.15 0.14" \
    -v 0.4 "|sox -n -p synth 0.09 brownnoise lowpass 2500 highpass 300 fade l 0.002 0.09 0.08" \
    -c 1 step.wav pad 0 0.35
sox step.wav step.wav step.wav step.wav "$1" pad 0.05 0
