# A church bell struck once: the partials of a bell (hum, prime, minor third,
# fifth, octave and the bright upper partials) over a short metallic strike.
# Each partial dies away from the strike, the high ones quickest and the hum
# longest; the hum is doubled a little sharp so it beats slowly, as a real
# bell's slightly uneven partials do.
partial() { echo "|sox -n -p synth 3.5 sine $1 vol $2 fade t 0 $3 $3"; }
sox -m -v 0.12 "$(partial 196 0.5 3.4)" -v 0.12 "$(partial 197.3 0.3 3.4)" \
    -v 0.12 "$(partial 392 0.8 3.2)" -v 0.12 "$(partial 470 0.45 2.6)" \
    -v 0.12 "$(partial 588 0.35 2.2)" -v 0.12 "$(partial 784 0.45 1.8)" \
    -v 0.12 "$(partial 1046 0.25 1.2)" -v 0.12 "$(partial 1318 0.2 0.8)" \
    -v 0.12 "$(partial 1568 0.15 0.6)" -v 0.12 "$(partial 2093 0.12 0.4)" \
    -v 0.12 "$(partial 2794 0.08 0.25)" -v 0.12 "$(partial 3520 0.06 0.15)" \
    -v 0.12 "|sox -n -p synth 0.05 whitenoise vol 0.3 highpass 2000 fade l 0 0.05 0.045" "$1"
