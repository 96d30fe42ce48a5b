# Thunder: a sharp crack that falls into a long rolling rumble, the rumble
# kept above 100 Hz or so, where a small speaker can still play it.
sox -n -c 1 crack.wav synth 0.4 whitenoise vol 0.6 lowpass 3500 fade l 0.003 0.4 0.38
sox -n -c 1 rumble.wav synth 4 brownnoise vol 0.5 highpass 60 lowpass 700 tremolo 1.6 60 \
    fade q 0.15 4 3.6
sox -m -v 0.4 crack.wav -v 0.6 rumble.wav "$1"
