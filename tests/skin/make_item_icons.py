#!/usr/bin/env python3
"""Writes the icon that the item tests embed: pattern.ico with a 16 x 16
and a 32 x 32 image, 32 bits with full alpha, each pixel from a formula the
tests compute again (ItemTestIcons.h). Standard library only.
Usage: make_item_icons.py OUTPUT_FOLDER
"""
import os
import struct
import sys


def pixel(size, x, y):
    """Red tells the image apart; green and blue follow the position."""
    return (200 if size == 16 else 40, x * 7, y * 7)


def icon_image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            r, g, b = pixel(size, x, y)
            colours += bytes((b, g, r, 255))
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)  # all opaque
    return header + bytes(colours) + mask


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    images = [icon_image(16), icon_image(32)]
    entries = b""
    offset = 6 + 16 * len(images)
    for size, image in zip((16, 32), images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(os.path.join(out, "pattern.ico"), "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images))


if __name__ == "__main__":
    main()
