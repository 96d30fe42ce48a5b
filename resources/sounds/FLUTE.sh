# A reed flute playing the book's one tune: five climbing notes and a long one
# (D, E, F sharp, A, B, then the high D held), soft, with a breath in the tone
# and a slight vibrato, each note tongued so that it starts with an accent and
# settles. The Songs of Opening, of Calm and of Waking are all this climb.
note() {
    sox -m -v 0.33 "|sox -n -p synth $2 sine $1" -v 0.08 "|sox -n -p synth $2 sine $(($1 * 2))" \
        -v 0.07 "|sox -n -p synth $2 pinknoise bandpass $1 6q" \
        -v 0.52 "|sox -n -p synth 0.2 sine $1 fade l 0.01 0.2 0.19" -c 1 "$3" \
        tremolo 5.5 15 fade q 0.03 "$2" 0.08
}
note 587 0.26 n1.wav
note 659 0.26 n2.wav
note 740 0.26 n3.wav
note 880 0.26 n4.wav
note 988 0.26 n5.wav
note 1175 1.1 n6.wav
sox n1.wav n2.wav n3.wav n4.wav n5.wav n6.wav "$1"
