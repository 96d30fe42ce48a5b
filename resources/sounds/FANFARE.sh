# A short brass fanfare: three quick notes rising (G, C, E), the G again, and
# a held C major chord; each note a bright sawtooth softened as a horn is,
# attacked hard and then held softer.
note() {
    sox -m -v 0.55 "|sox -n -p synth $2 sawtooth $3" -v 0.45 "|sox -n -p synth 0.2 sawtooth $3 \
        fade l 0.005 0.2 0.19" -c 1 "$1" lowpass 2500 lowpass 2500 fade q 0.015 "$2" 0.04
}
note g.wav 0.16 392
note c.wav 0.16 523
note e.wav 0.16 659
note low.wav 1.6 523
note mid.wav 1.6 659
note high.wav 1.6 784
sox -m -v 0.34 low.wav -v 0.33 mid.wav -v 0.33 high.wav chord.wav fade q 0.02 -0 0.9
sox g.wav c.wav e.wav g.wav chord.wav "$1"
