#!/usr/bin/env python3
"""Writes the small test resources in data/resources: BMP files of 1, 8 and 24
bits per pixel with known pixels, a short WAVE file and an icon picture.
Run it from anywhere; it rewrites the files beside it."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "resources")


def bmp(path, width, height, bits, rows, palette=None, top_down=False):
    """rows: top row first; each a list of palette indices or (r, g, b)."""
    stride = ((width * bits + 31) // 32) * 4
    body = b""
    order = rows if top_down else list(reversed(rows))
    for row in order:
        if bits == 24:
            data = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        elif bits == 8:
            data = bytes(row)
        elif bits == 1:
            data = bytearray((width + 7) // 8)
            for x, v in enumerate(row):
                if v:
                    data[x // 8] |= 0x80 >> (x % 8)
            data = bytes(data)
        body += data + b"\0" * (stride - len(data))
    colors = b"".join(bytes((b, g, r, 0)) for (r, g, b) in (palette or []))
    offset = 14 + 40 + len(colors)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits, 0, len(body),
                       3780, 3780, len(palette or []), 0)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(header + info + colors + body)


def wav(path, samples):
    data = bytes(samples)
    fmt = struct.pack("<HHIIHH", 1, 1, 11025, 11025, 1, 8)
    riff = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(riff)) + riff)


R, G, B, W, K = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)
# 24 bits, 3x2, bottom-up, width not a multiple of 4 (rows are padded).
bmp(os.path.join(HERE, "bitmaps", "1100.bmp"), 3, 2, 24, [[R, G, B], [W, K, (18, 52, 86)]])
# 8 bits with a palette, 5x2, top-down.
bmp(os.path.join(HERE, "bitmaps", "1101.bmp"), 5, 2, 8, [[0, 1, 2, 3, 0], [3, 2, 1, 0, 1]],
    palette=[K, R, G, (200, 100, 50)], top_down=True)
# 1 bit, a 16x2 strip: black pixels where set.
bmp(os.path.join(HERE, "bitmaps", "421.bmp"), 16, 2, 1,
    [[1, 0] * 8, [0, 1] * 8], palette=[W, K])
bmp(os.path.join(HERE, "icons", "420.bmp"), 2, 2, 24, [[R, R], [B, B]])
wav(os.path.join(HERE, "sounds", "Gong.wav"), [128, 200, 128, 56] * 4)
