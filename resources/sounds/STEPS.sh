# Four footsteps on stone at a brisk pace: each the dull thud of a heel and
# the scuff of the sole rolling after it, compressed so the scuff carries.
sox -m -v 0.5 "|sox -n -p synth 0.14 sine 85 fade q 0.003 -0 0.1" \
    -v 0.5 "|sox -n -p synth 0.24 brownnoise lowpass 2200 highpass 250 fade t 0.01 -0 0.16" \
    -c 1 step.wav compand 0.001,0.1 -70,-70,-40,-20,0,-6 0 -90 0.001 pad 0 0.11
sox step.wav step.wav step.wav step.wav "$1" pad 0.05 0
