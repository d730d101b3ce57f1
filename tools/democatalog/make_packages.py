#!/usr/bin/env python3
"""Makes the demo catalogue's packages and preview images from catalog.py:

  download/<id>.zip   the item's package, encrypted with its password
  web/img/<id>.png    the item's preview image

Packages hold one top folder named after the id:
  theme:     <id>/<name>.theme, <id>/<name>/<name>.msstyles,
             <id>/<name>/WALLPAPER/<name>.jpg (one theme also <id>/Cursors/)
  wallpaper: <id>/<name>.jpg
The wallpaper images are JPEG files made with ImageMagick's convert. The
output is the same on every run; serve.py runs this when a file is missing
or older than the scripts.

Usage: make_packages.py [--force]
"""
import os
import random
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import catalog  # noqa: E402
import zipcrypt  # noqa: E402

DOWNLOAD = os.path.join(HERE, "download")
IMAGES = os.path.join(HERE, "web", "img")
SOURCES = [os.path.join(HERE, name) for name in ("make_packages.py", "catalog.py", "zipcrypt.py")]
CURSOR_ITEM = 103
LARGE_SIZE = 1500000


def colour(item_id, shift=0):
    rng = random.Random(item_id * 7 + shift)
    return tuple(rng.randrange(40, 230) for _ in range(3))


def png(width, height, top, bottom):
    """A vertical gradient as PNG bytes."""
    rows = bytearray()
    for y in range(height):
        t = y / max(1, height - 1)
        pixel = bytes(int(a + (b - a) * t) for a, b in zip(top, bottom))
        rows += b"\0" + pixel * width

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def jpeg(item_id, width=640, height=400):
    top, bottom = ("#%02x%02x%02x" % colour(item_id, s) for s in (1, 2))
    return subprocess.run(["convert", "-size", "%dx%d" % (width, height), "gradient:%s-%s" % (top, bottom),
                           "-quality", "85", "jpg:-"], check=True, stdout=subprocess.PIPE).stdout


def theme_file(name):
    text = ("[Theme]\r\nDisplayName=%s\r\n\r\n[Control Panel\\Desktop]\r\n"
            "Wallpaper=%%WinDir%%Resources\\Themes\\%s\\WALLPAPER\\%s.jpg\r\nTileWallpaper=0\r\nWallpaperStyle=2\r\n\r\n"
            "[VisualStyles]\r\nPath=%%WinDir%%Resources\\Themes\\%s\\%s.msstyles\r\nColorStyle=NormalColor\r\n"
            "Size=NormalSize\r\n\r\n[MasterThemeSelector]\r\nMTSM=DABJDKT\r\n") % (name, name, name, name, name)
    return text.encode("gbk")


def package_entries(item_id):
    kind, name = catalog.ITEMS[item_id]
    top = str(item_id)
    if kind == catalog.WALLPAPER:
        return [("%s/%s.jpg" % (top, name), jpeg(item_id))]
    size = LARGE_SIZE if item_id == catalog.LARGE_ITEM else 4096
    styles = random.Random(item_id).getrandbits(8 * size).to_bytes(size, "little")
    entries = [
        ("%s/%s.theme" % (top, name), theme_file(name)),
        ("%s/%s/%s.msstyles" % (top, name, name), styles),
        ("%s/%s/WALLPAPER/%s.jpg" % (top, name, name), jpeg(item_id)),
    ]
    if item_id == CURSOR_ITEM:
        entries.append(("%s/Cursors/demo_arrow.cur" % top, b"\0\0\2\0\1\0" + bytes(16)))
    return entries


def outputs():
    for item_id in sorted(catalog.ITEMS):
        yield item_id, os.path.join(DOWNLOAD, "%d.zip" % item_id), os.path.join(IMAGES, "%d.png" % item_id)


def ensure(force=False):
    """Makes what is missing or older than the scripts; returns how many files were written."""
    newest = max(os.path.getmtime(path) for path in SOURCES)
    os.makedirs(DOWNLOAD, exist_ok=True)
    os.makedirs(IMAGES, exist_ok=True)
    written = 0
    for item_id, package, image in outputs():
        if force or not os.path.exists(package) or os.path.getmtime(package) < newest:
            zipcrypt.write_encrypted_zip(package, package_entries(item_id), catalog.password(item_id),
                                         seed=str(item_id).encode())
            written += 1
        if force or not os.path.exists(image) or os.path.getmtime(image) < newest:
            with open(image, "wb") as f:
                f.write(png(96, 72, colour(item_id, 1), colour(item_id, 2)))
            written += 1
    return written


if __name__ == "__main__":
    print("make_packages: %d file(s) written" % ensure("--force" in sys.argv[1:]))
