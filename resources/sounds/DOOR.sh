# Three knocks on a heavy wooden door: each the thump of the door's low body
# under a short knuckle click, a quarter second apart, the last the hardest.
sox -m -v 0.45 "|sox -n -p synth 0.25 sine 110 fade l 0.001 0.25 0.24" \
    -v 0.3 "|sox -n -p synth 0.25 sine 235 fade l 0.001 0.25 0.15" \
    -v 0.25 "|sox -n -p synth 0.04 brownnoise lowpass 1800 fade l 0 0.04 0.038" -c 1 knock.wav
sox knock.wav -c 1 quiet.wav vol 0.75
sox quiet.wav quiet.wav knock.wav "$1" pad 0.05 0.3
