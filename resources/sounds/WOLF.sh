# A wolf's howl: a breathy, slightly nasal tone that rises an octave, holds
# and sags away, with a small waver in its loudness.
sox -m -v 0.55 "|sox -n -p synth 3 sine 300" -v 0.25 "|sox -n -p synth 3 sine 600" \
    -v 0.08 "|sox -n -p synth 3 sine 900" -v 0.12 "|sox -n -p synth 3 pinknoise bandpass 900 2q" \
    -c 1 tone.wav
sox tone.wav "$1" vol 0.5 bend 0.05,900,0.6 1.0,-400,0.9 tremolo 5 15 fade q 0.35 3 0.9
