# A magical chime: a rising arpeggio of four bell-like high notes (C, E, G
# and the upper C), each ringing on under the next.
note() {
    sox -m -v 0.7 "|sox -n -p synth 1.6 sine $2 fade l 0.002 1.6 1.55" \
        -v 0.3 "|sox -n -p synth 1.6 sine $(($2 * 27 / 10)) fade l 0.002 0.6 0.58" \
        -c 1 "$1" pad "$3"
}
note n1.wav 1047 0
note n2.wav 1319 0.13
note n3.wav 1568 0.26
note n4.wav 2093 0.39
sox -m -v 0.25 n1.wav -v 0.25 n2.wav -v 0.25 n3.wav -v 0.25 n4.wav "$1"
