#!/usr/bin/env python3
"""Draws the updater's icon, Uplark.ico: an upward arrow over a bar on a
rounded teal square, at 16, 32 and 48 pixels, 32-bit with alpha.

    make_icon.py [OUT]    (default: Uplark.ico beside this script)

Standard library only; the committed Uplark.ico is its output."""
import os
import struct
import sys

BACKGROUND = (0x1f, 0x8a, 0x8c)   # teal
EDGE = (0x15, 0x62, 0x64)
MARK = (0xff, 0xff, 0xff)


def coverage(inside, x, y, samples=4):
    """Share of the pixel (x, y) covered by the shape, sampled 4 x 4."""
    hits = 0
    for i in range(samples):
        for j in range(samples):
            if inside(x + (i + 0.5) / samples, y + (j + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def draw(size):
    s = size / 32.0
    radius = 6 * s

    def in_square(x, y):
        lo, hi = 1 * s, 31 * s
        if not (lo <= x <= hi and lo <= y <= hi):
            return False
        cx = min(max(x, lo + radius), hi - radius)
        cy = min(max(y, lo + radius), hi - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2

    def in_inner(x, y):
        lo, hi, r = 2.5 * s, 29.5 * s, radius - 1.5 * s
        if not (lo <= x <= hi and lo <= y <= hi):
            return False
        cx = min(max(x, lo + r), hi - r)
        cy = min(max(y, lo + r), hi - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r ** 2

    def in_mark(x, y):
        u, v = x / s, y / s
        head = 5 <= v <= 15 and abs(u - 16) <= (v - 5)      # triangle, tip at the top
        shaft = 14 <= v <= 21 and 13 <= u <= 19
        bar = 23.5 <= v <= 26.5 and 8 <= u <= 24
        return head or shaft or bar

    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            a = coverage(in_square, x, y)
            inner = coverage(in_inner, x, y)
            mark = coverage(in_mark, x, y)
            base = [EDGE[k] * (1 - inner) + BACKGROUND[k] * inner for k in range(3)]
            rgb = [base[k] * (1 - mark) + MARK[k] * mark for k in range(3)]
            row.append((round(rgb[2]), round(rgb[1]), round(rgb[0]), round(255 * a)))
        pixels.append(row)
    return pixels


def image_entry(size):
    """BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes(c for p in row for c in p) for row in reversed(pixels))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(out):
    sizes = (16, 32, 48)
    images = [image_entry(n) for n in sizes]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else
         os.path.join(os.path.dirname(os.path.abspath(__file__)), "Uplark.ico"))
