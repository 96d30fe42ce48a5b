# Three knocks on a heavy wooden door: each the thump of the door's low body
# under a short knuckle click, a quarter second apart, the last the hardest.
sox -m -v 0.45 "|sox -n -p synth 0.25 sine 110 fade q 0.001 -0 0.22" \
    -v 0.3 "|sox -n -p synth 0.25 sine 235 fade q 0.001 -0 0.15" \
    -v 0.25 "|sox -n -p synth 0.04 brownnoise lowpass 1800 fade q 0 -0 0.038" -c 1 knock.wav \
    compand 0.001,0.1 -70,-70,-40,-20,0,-6 0 -90 0.001
sox knock.wav -c 1 quiet.wav vol 0.75
sox quiet.wav quiet.wav knock.wav "$1" pad 0.05 0.3
