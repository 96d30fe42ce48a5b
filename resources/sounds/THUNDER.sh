# Thunder: a sharp crack that falls into a long rolling rumble.
sox -n -c 1 crack.wav synth 0.4 whitenoise lowpass 3500 fade l 0.003 0.4 0.38
sox -n -c 1 rumble.wav synth 4 brownnoise lowpass 220 tremolo 1.6 60 fade l 0.15 4 3.5
sox -m -v 0.35 crack.wav -v 0.65 rumble.wav "$1"
