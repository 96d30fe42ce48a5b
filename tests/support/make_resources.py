#!/usr/bin/env python3
"""Writes the pictures of the test books (resources/bitmaps): flat 24-bit
BMP files of known sizes, each framed so its edges show in a screenshot.
Run it from anywhere; it rewrites the files beside it."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "resources", "bitmaps")

# resource id: (width, height, fill colour)
PICTURES = {
    1100: (30, 10, (40, 120, 40)),
    1701: (20, 40, (200, 60, 60)),    # the inline picture 40 pixels high
    1702: (60, 30, (60, 60, 200)),    # a block picture
    1703: (16, 16, (200, 160, 0)),
    1704: (100, 20, (0, 150, 150)),
    1705: (24, 24, (150, 0, 150)),
}


def bmp(path, width, height, fill):
    stride = (width * 3 + 3) // 4 * 4
    body = b""
    for y in range(height):
        row = b""
        for x in range(width):
            edge = x in (0, width - 1) or y in (0, height - 1)
            r, g, b = (0, 0, 0) if edge else fill
            row += bytes((b, g, r))
        body += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


os.makedirs(HERE, exist_ok=True)
for rid, (w, h, fill) in PICTURES.items():
    bmp(os.path.join(HERE, "%d.bmp" % rid), w, h, fill)
