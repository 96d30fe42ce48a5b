# A church bell struck once: the partials of a bell (hum, prime, minor third,
# fifth, octave and two high partials), the low ones ringing longest, over a
# short metallic strike.
partial() { echo "|sox -n -p synth 3.5 sine $1 vol $2 fade l 0.002 3.5 $3"; }
sox -m -v 0.14 "$(partial 196 0.5 3.4)" -v 0.14 "$(partial 392 0.8 3.2)" \
    -v 0.14 "$(partial 470 0.45 2.6)" -v 0.14 "$(partial 588 0.35 2.2)" \
    -v 0.14 "$(partial 784 0.45 1.8)" -v 0.14 "$(partial 1046 0.2 1.2)" \
    -v 0.14 "$(partial 1318 0.15 0.8)" \
    -v 0.14 "|sox -n -p synth 0.05 whitenoise vol 0.3 highpass 2000 fade l 0 0.05 0.045" "$1"
