#!/usr/bin/env python3
"""Draws the PNG images of the sample dialog. Standard library only.

close.png: the close button, four 28 x 20 states (normal, hover, pushed,
disabled) side by side. tabicons.png: one 32 x 32 icon per tab, three in a
row. Usage: make_sample_images.py OUTPUT_FOLDER
"""
import math
import os
import struct
import sys
import zlib


def write_png(path, width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # no filter
        for x in range(width):
            raw.extend(pixel(x, y))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + chunk(b"IEND", b""))


def close_pixel(x, y):
    state, x = divmod(x, 28)
    backs = [None, (232, 72, 72), (176, 40, 40), None]
    cross = [(255, 255, 255), (255, 255, 255), (255, 230, 230), (150, 160, 180)]
    cx, cy = x - 13.5, y - 9.5
    on_cross = abs(abs(cx) - abs(cy)) < 1.2 and abs(cx) < 5
    if on_cross:
        return (*cross[state], 255)
    if backs[state]:
        return (*backs[state], 255)
    return (0, 0, 0, 0)


def tab_icon_pixel(x, y):
    icon, x = divmod(x, 32)
    cx, cy = x - 15.5, y - 15.5
    colours = [(255, 214, 90), (120, 220, 140), (130, 190, 255)]
    r = math.hypot(cx, cy)
    if icon == 0:  # a sun
        inside = r < 8 or (r < 14 and int((math.atan2(cy, cx) + math.pi) / (math.pi / 6)) % 2 == 0 and r > 10)
    elif icon == 1:  # a leaf: two overlapping discs
        inside = math.hypot(cx - 4, cy + 4) < 10 and math.hypot(cx + 4, cy - 4) < 10
    else:  # a frame with a picture
        inside = (abs(cx) < 13 and abs(cy) < 10) and not (abs(cx) < 10 and abs(cy) < 7 and cy < cx * 0.6)
    return (*colours[icon], 255) if inside else (0, 0, 0, 0)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    write_png(os.path.join(folder, "close.png"), 4 * 28, 20, close_pixel)
    write_png(os.path.join(folder, "tabicons.png"), 3 * 32, 32, tab_icon_pixel)


if __name__ == "__main__":
    main(sys.argv[1])
