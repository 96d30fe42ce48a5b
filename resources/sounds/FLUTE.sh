# A reed flute playing a short rising-and-falling phrase (D, F sharp, A, then
# the high D held): a soft tone with a breath in it and a slight vibrato.
note() {
    sox -m -v 0.75 "|sox -n -p synth $2 sine $1" -v 0.12 "|sox -n -p synth $2 sine $(($1 * 2))" \
        -v 0.1 "|sox -n -p synth $2 pinknoise bandpass $1 6q" -c 1 -p \
        tremolo 5.5 12 fade q 0.04 "$2" 0.06
}
note 587 0.35 > n1.sox
note 740 0.35 > n2.sox
note 880 0.45 > n3.sox
note 1175 1.1 > n4.sox
sox n1.sox n2.sox n3.sox n4.sox "$1"
