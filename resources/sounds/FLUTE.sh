# A reed flute playing a short rising phrase (D, F sharp, A, then the high D
# held): a soft tone with a breath in it and a slight vibrato, each note
# tongued, so it starts with an accent and settles.
note() {
    sox -m -v 0.33 "|sox -n -p synth $2 sine $1" -v 0.08 "|sox -n -p synth $2 sine $(($1 * 2))" \
        -v 0.07 "|sox -n -p synth $2 pinknoise bandpass $1 6q" \
        -v 0.52 "|sox -n -p synth 0.2 sine $1 fade l 0.01 0.2 0.19" -c 1 "$3" \
        tremolo 5.5 15 fade q 0.03 "$2" 0.08
}
note 587 0.3 n1.wav
note 740 0.3 n2.wav
note 880 0.4 n3.wav
note 1175 1.1 n4.wav
sox n1.wav n2.wav n3.wav n4.wav "$1"
