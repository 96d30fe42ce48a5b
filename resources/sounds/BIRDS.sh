# Birdsong: two birds answering each other, one with quick falling chirps,
# the other with a rising two-note call and a fluttering trill. Every chirp
# swells and fades within itself, as a bird's does.
chirp() { sox -n -c 1 "$1" synth "$2" sine "$3" fade q "$(echo "$2" | awk '{print $1 / 3}')" -0 \
    "$(echo "$2" | awk '{print $1 * 2 / 3}')" pad "$4"; }
chirp a1.wav 0.06 4200:2900 0.10
chirp a2.wav 0.06 4300:3000 0.22
chirp a3.wav 0.06 4400:3100 0.34
chirp b1.wav 0.12 2400:3100 0.80
chirp b2.wav 0.14 2600:3600 1.02
sox -n -c 1 trill.wav synth 0.45 sine 3300 tremolo 22 100 fade q 0.05 -0 0.15 pad 1.40
chirp a4.wav 0.06 4200:2900 2.00
chirp a5.wav 0.06 4400:3100 2.13
sox -m -v 0.3 a1.wav -v 0.3 a2.wav -v 0.3 a3.wav -v 0.3 b1.wav -v 0.3 b2.wav -v 0.3 trill.wav \
    -v 0.3 a4.wav -v 0.3 a5.wav "$1" pad 0 0.15
