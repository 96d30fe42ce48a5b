# A creaking hinge: a slow train of rough pulses whose rate drifts up and back
# down as the door swings, heard through the wood's resonances.
sox -n -c 1 pulses.wav synth 1.4 square 38 bend 0.1,500,0.5 0.7,-300,0.5
sox pulses.wav -c 1 wood.wav highpass 300 bandpass 1100 4q vol 0.9
sox pulses.wav -c 1 ring.wav bandpass 2300 8q
sox -m -v 0.7 wood.wav -v 0.3 ring.wav "$1" fade q 0.08 1.4 0.2
