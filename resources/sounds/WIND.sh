# Wind: pink noise shaped to the band where wind roars, swept by a slow phaser
# and swelling in two gusts, with a faint whistle riding the second.
sox -n -c 1 gusts.wav synth 3.5 pinknoise vol 0.4 highpass 180 lowpass 1400 \
    phaser 0.6 0.74 4 0.5 0.25 -t tremolo 0.4 70 fade q 0.8 3.5 1.2
sox -n -c 1 whistle.wav synth 3.5 sine 520:760 vol 0.5 bandpass 640 4q vol 0.08 fade q 1.6 3.5 1.6
sox -m -v 0.8 gusts.wav -v 0.2 whistle.wav "$1"
