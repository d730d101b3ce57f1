#!/usr/bin/env python3
"""Writes the small bitmaps and PNG images that the skin tests embed.

Every pixel follows a formula that the tests compute again (TestImages.h),
so a test can tell which source pixel landed where. Standard library only.
Usage: make_test_images.py OUTPUT_FOLDER
"""
import os
import struct
import sys
import zlib

MAGENTA = (255, 0, 255)
GREEN = (0, 255, 0)


def strip_pixel(x, y):
    """strip.bmp: 216 x 8, three sub-images of 72 columns."""
    return (x, (x // 72) * 100 + y, 50)


def mask_pixel(x, y):
    """mask.bmp: 12 x 6, two sub-images of 6; magenta and green keys."""
    k = (x + y) % 3
    if k == 0:
        return MAGENTA
    if k == 1:
        return GREEN
    return (10 * x, 20 * y, 200)


def frame_pixel(x, y):
    """frame.bmp: 7 x 35, every pixel different."""
    return (x * 30 + 10, y * 7, 90)


def horz_pixel(x, y):
    """horz.bmp: 40 x 6, four sub-images of 10 (normal, hover, pushed, disabled)."""
    return (x * 6, (x // 10) * 60 + y, 7)


def alpha_pixel(x, y):
    """alpha.bmp: 8 x 4 with straight alpha, two sub-images of 4."""
    return (200, x * 20, y * 50, (x * 37 + y * 61) % 256 if (x, y) != (1, 1) else 255)


def png_pixel(x, y):
    """strip.png: 123 x 12, three sub-images of 41; row 10 transparent, row 11 half."""
    alpha = 255 if y < 10 else (0 if y == 10 else 128)
    return (x * 2, y * 20, 100 + (x // 41) * 50, alpha)


def write_bmp(path, width, height, pixel, bits):
    stride = (width * (bits // 8) + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(width):
            p = pixel(x, y)
            if bits == 24:
                row += bytes((p[2], p[1], p[0]))
            else:
                row += bytes((p[2], p[1], p[0], p[3]))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + header + data)


def write_png(path, width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # no filter
        for x in range(width):
            raw += bytes(pixel(x, y))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw)))
                + chunk(b"IEND", b""))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "strip.bmp"), 216, 8, strip_pixel, 24)
    write_bmp(os.path.join(out, "mask.bmp"), 12, 6, mask_pixel, 24)
    write_bmp(os.path.join(out, "frame.bmp"), 7, 35, frame_pixel, 24)
    write_bmp(os.path.join(out, "horz.bmp"), 40, 6, horz_pixel, 24)
    write_bmp(os.path.join(out, "alpha.bmp"), 8, 4, alpha_pixel, 32)
    write_png(os.path.join(out, "strip.png"), 123, 12, png_pixel)
    with open(os.path.join(out, "broken.png"), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\nnot really")


if __name__ == "__main__":
    main()
