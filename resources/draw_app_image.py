#!/usr/bin/env python3
"""Draws the application image: a blue padlock with a silver shackle and a round dial on
its body, on a transparent background with a faint light-blue fringe at the edges.
Writes a 256 x 256 RGBA PNG (chunks IHDR, pHYs, one IDAT, IEND) using only the standard
library. Usage: draw_app_image.py resources/app_image.png"""
import math
import struct
import sys
import zlib

SIZE = 256
SAMPLES = 4  # per axis, for smooth edges


def rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and left <= x <= right and top <= y <= bottom


def shade(x, y):
    """Colour (r, g, b, a) at a point, as floats 0..1."""
    # Body of the lock.
    if rounded_rect(x, y, 48, 112, 208, 232, 22):
        # Dial: a silver ring with a dark face and a notch at the top.
        d = math.hypot(x - 128, y - 170)
        if d <= 34:
            if d >= 27:
                return (0.86, 0.88, 0.92, 1.0)
            if abs(x - 128) <= 3 and 140 <= y <= 156:
                return (0.92, 0.94, 0.97, 1.0)
            t = d / 27
            return (0.06 + 0.08 * t, 0.16 + 0.10 * t, 0.36 + 0.12 * t, 1.0)
        # Blue, lighter towards the top left.
        t = ((x - 48) + (y - 112)) / 280
        return (0.12 + 0.10 * (1 - t), 0.36 + 0.16 * (1 - t), 0.78 + 0.12 * (1 - t), 1.0)
    # Shackle: a thick silver arch above the body.
    d = math.hypot(x - 128, y - 104)
    if 44 <= d <= 62 and y <= 104:
        t = (d - 44) / 18
        g = 0.70 + 0.25 * math.sin(math.pi * t)
        return (g, g, g + 0.03, 1.0)
    if (66 <= x <= 84 or 172 <= x <= 190) and 104 < y < 118:
        t = (x - 66) / 18 if x <= 84 else (x - 172) / 18
        g = 0.70 + 0.25 * math.sin(math.pi * t)
        return (g, g, g + 0.03, 1.0)
    # Faint light-blue fringe along the image's edges.
    edge = min(x, y, SIZE - x, SIZE - y)
    if edge < 6:
        return (0.70, 0.85, 1.0, 0.10 * (1 - edge / 6))
    return (0.0, 0.0, 0.0, 0.0)


def pixel(px, py):
    r = g = b = a = 0.0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            cr, cg, cb, ca = shade(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            r += cr * ca
            g += cg * ca
            b += cb * ca
            a += ca
    if a == 0:
        return b"\0\0\0\0"
    n = SAMPLES * SAMPLES
    return bytes((round(255 * r / a), round(255 * g / a), round(255 * b / a), round(255 * a / n)))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def main(path):
    rows = b"".join(b"\0" + b"".join(pixel(x, y) for x in range(SIZE)) for y in range(SIZE))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    png += chunk(b"pHYs", struct.pack(">IIB", 3779, 3779, 1))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1])
