#!/usr/bin/env python3
"""Writes the scenario program's sounds: chime.wav, a short two-tone chime
(22050 Hz, 16-bit mono), and tick.wav, a shorter 8-bit click."""
import math
import os
import struct
import wave

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "sounds")


def write(name, rate, width, samples):
    with wave.open(os.path.join(here, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(width)
        w.setframerate(rate)
        if width == 2:
            w.writeframes(b"".join(struct.pack("<h", s) for s in samples))
        else:
            w.writeframes(bytes(samples))


rate = 22050
chime = []
for i in range(int(rate * 0.25)):
    t = i / rate
    tone = 880 if t < 0.12 else 1320
    fade = 1.0 - t / 0.25
    chime.append(int(9000 * fade * math.sin(2 * math.pi * tone * t)))
write("chime.wav", rate, 2, chime)

rate = 11025
tick = [128 + int(90 * math.exp(-i / 40.0) * (1 if (i // 6) % 2 else -1)) for i in range(int(rate * 0.03))]
write("tick.wav", rate, 1, tick)
