# A creaking hinge: a rasping train of pulses whose rate drifts up and back
# down as the door swings, heard through the wood's resonances; the overdrive
# gives it the grind of iron on iron.
sox -n -c 1 pulses.wav synth 1.4 sawtooth 70 vol 0.5 bend 0.1,500,0.5 0.1,-300,0.5
sox pulses.wav -c 1 wood.wav highpass 300 bandpass 1100 6q
sox pulses.wav -c 1 ring.wav bandpass 2300 12q
sox -m -v 0.7 wood.wav -v 0.3 ring.wav "$1" gain -n -6 overdrive 15 lowpass 4000 fade q 0.08 -0 0.2
