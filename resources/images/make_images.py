#!/usr/bin/env python3
"""Draws every image of Ravonyx.exe: the PNG images and bitmaps of the skins
and the program icons. Standard library only; everything comes from the
formulas below, so the images are never committed.

Usage: make_images.py OUTPUT_FOLDER

Files written (resource ids in Ravonyx.rc):
  png<id>.png  PNG images of "png" skins (RGBA, alpha kept by GDI+)
  bmp<id>.bmp  24-bit bitmaps of "imglst", "imgframe" and "imghorzex" skins;
               magenta (FF00FF) is the transparent colour of "mask" skins
  app.ico, small.ico  the program icons 100 and 101

One palette for the whole program: a blue header, light side bands and
footer, white content, and four accent colours, one per main tab.
"""
import math
import os
import struct
import sys
import zlib

# --- palette ---------------------------------------------------------------
BLUE_TOP = (0x3D, 0x7E, 0xEA)
BLUE_BOTTOM = (0x2A, 0x5F, 0xCF)
BORDER = (0x22, 0x50, 0xB4)
BAND = (0xEA, 0xF0, 0xF8)
SEPARATOR = (0xC9, 0xD6, 0xEA)
FOOT_TOP = (0xF4, 0xF7, 0xFB)
FOOT_BOTTOM = (0xE2, 0xE9, 0xF3)
POP_FOOT = (0xF3, 0xF6, 0xFA)
WHITE = (0xFF, 0xFF, 0xFF)
MAGENTA = (0xFF, 0x00, 0xFF)
TAB_HOVER = (0x4F, 0x8B, 0xF0)
TAB_HOVER_EDGE = (0x78, 0xA6, 0xF5)
TAB_SELECTED = (0xF4, 0xF8, 0xFE)
CLOSE_HOVER = (0xE5, 0x47, 0x3B)
CLOSE_PUSHED = (0xB7, 0x35, 0x2B)
ACCENTS = [(0xF3, 0x9C, 0x12), (0x2E, 0xAD, 0x6B), (0x8E, 0x6B, 0xE8), (0xE8, 0x59, 0x4A)]

HEADER_HEIGHT = 109
TAB_TOP = HEADER_HEIGHT - 75  # the tab strip's first row in the header


def lerp(a, b, t):
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def header_colour(y):
    return lerp(BLUE_TOP, BLUE_BOTTOM, min(max(y / (HEADER_HEIGHT - 1), 0.0), 1.0))


# --- shapes: functions (x, y) -> inside -------------------------------------
def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect_outline(x0, y0, x1, y1, width, r=0.0):
    outer = rounded_rect(x0, y0, x1, y1, r)
    inner = rounded_rect(x0 + width, y0 + width, x1 - width, y1 - width, max(r - width, 0.0))
    return lambda x, y: outer(x, y) and not inner(x, y)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = min(max(((x - ax) * dx + (y - ay) * dy) / length2, 0.0), 1.0)
        px, py = ax + t * dx - x, ay + t * dy - y
        return px * px + py * py <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, *holes):
    return lambda x, y: shape(x, y) and not any(h(x, y) for h in holes)


# --- canvas ------------------------------------------------------------------
class Canvas:
    """RGBA pixels (colour 0-255, alpha 0-1) with source-over drawing."""

    def __init__(self, width, height, fill=(0, 0, 0), alpha=0.0):
        self.width, self.height = width, height
        self.pixels = [[fill[0], fill[1], fill[2], alpha] for _ in range(width * height)]
        self.covered = [False] * (width * height)

    def blend(self, x, y, rgb, a):
        if a <= 0:
            return
        p = self.pixels[y * self.width + x]
        self.covered[y * self.width + x] = True
        below = p[3] * (1 - a)
        out = a + below
        for i in range(3):
            p[i] = (rgb[i] * a + p[i] * below) / out
        p[3] = out

    def draw(self, inside, rgb, alpha=1.0, box=None, samples=4):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        step = 1.0 / samples
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                hits = 0
                for j in range(samples):
                    for i in range(samples):
                        if inside(x + (i + 0.5) * step, y + (j + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, rgb, alpha * hits / (samples * samples))

    def fill_rows(self, colour_of_row, x0=0, x1=None):
        for y in range(self.height):
            c = colour_of_row(y)
            for x in range(x0, self.width if x1 is None else x1):
                self.pixels[y * self.width + x] = [c[0], c[1], c[2], 1.0]

    def set(self, x, y, rgb):
        self.pixels[y * self.width + x] = [rgb[0], rgb[1], rgb[2], 1.0]

    def rgba(self, x, y):
        p = self.pixels[y * self.width + x]
        return (round(p[0]), round(p[1]), round(p[2]), round(p[3] * 255))

    def rgb(self, x, y, key=None):
        """Opaque colour; uncovered pixels become the key colour when given."""
        if key is not None and not self.covered[y * self.width + x]:
            return key
        p = self.pixels[y * self.width + x]
        return (round(p[0]), round(p[1]), round(p[2]))


def sheet(states, width, height, draw_state):
    """A strip of sub-images side by side, one per state."""
    c = Canvas(states * width, height)
    for s in range(states):
        draw_state(c, s, s * width)
    return c


# --- file writers --------------------------------------------------------------
def write_png(path, canvas):
    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            raw.extend(canvas.rgba(x, y))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
                + chunk(b"IEND", b""))


def write_bmp(path, canvas, key=None):
    stride = (canvas.width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b = canvas.rgb(x, y, key)
            row.extend((b, g, r))
        row.extend(b"\0" * (stride - len(row)))
        rows.extend(row)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + rows)


def write_ico(path, canvases):
    """32-bit icons with an AND mask, which every Windows from XP on reads."""
    images = []
    for c in canvases:
        xor = bytearray()
        for y in reversed(range(c.height)):
            for x in range(c.width):
                r, g, b, a = c.rgba(x, y)
                xor.extend((b, g, r, a))
        mask_stride = ((c.width + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(c.height)):
            row = bytearray(mask_stride)
            for x in range(c.width):
                if c.rgba(x, y)[3] == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask.extend(row)
        info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((c.width, c.height, info + xor + mask))
    offset = 6 + 16 * len(images)
    directory = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for w, h, data in images:
        directory.extend(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset))
        offset += len(data)
    with open(path, "wb") as f:
        f.write(directory + b"".join(d for _, _, d in images))


# --- the program's emblem: four tiles, one per main tab --------------------------
def draw_emblem(c, ox, oy, size, plate, alpha=1.0):
    """A rounded plate holding a 2 x 2 mosaic of the accent colours."""
    r = size * 0.22
    c.draw(rounded_rect(ox, oy, ox + size, oy + size, r), plate, alpha, (ox, oy, ox + size, oy + size))
    pad, gap = size * 0.18, size * 0.08
    tile = (size - 2 * pad - gap) / 2
    for i, colour in enumerate(ACCENTS):
        tx = ox + pad + (i % 2) * (tile + gap)
        ty = oy + pad + (i // 2) * (tile + gap)
        c.draw(rounded_rect(tx, ty, tx + tile, ty + tile, tile * 0.28), colour, alpha,
               (tx, ty, tx + tile + 1, ty + tile + 1))


def app_icon(size):
    c = Canvas(size, size)
    r = size * 0.2
    for y in range(size):
        colour = lerp(BLUE_TOP, BLUE_BOTTOM, y / max(size - 1, 1))
        c.draw(lambda x, yy, y=y: rounded_rect(0.5, 0.5, size - 0.5, size - 0.5, r)(x, yy), colour, 1.0,
               (0, y, size, y + 1))
    pad = size * 0.2
    gap = max(size * 0.07, 1.0)
    tile = (size - 2 * pad - gap) / 2
    for i, colour in enumerate(ACCENTS):
        tx = pad + (i % 2) * (tile + gap)
        ty = pad + (i // 2) * (tile + gap)
        c.draw(rounded_rect(tx, ty, tx + tile, ty + tile, tile * 0.25), colour)
    return c


# --- PNG images -------------------------------------------------------------------
def header_decoration():
    """png 3: soft light over the header's left part, fading out to the right."""
    w, h = 560, HEADER_HEIGHT
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            fade = min(1.0, (w - x) / 180.0)
            d = math.hypot(x - 110, y + 40) / 380.0
            a = 0.16 * max(0.0, 1.0 - d) * fade
            if a > 0:
                c.blend(x, y, WHITE, a)
    for radius, alpha in ((150, 0.10), (196, 0.07), (246, 0.05)):
        ring = minus(circle(470, 190, radius + 0.8), circle(470, 190, radius - 0.8))
        c.draw(ring, WHITE, alpha, (470 - radius - 2, 0, min(w, 470 + radius + 2), h), samples=2)
    # The rings fade out before the image's right edge.
    for y in range(h):
        for x in range(w - 180, w):
            c.pixels[y * w + x][3] *= min(1.0, (w - x) / 180.0)
    return c


def caption_button(states, width, height, glyph, hover, pushed):
    """A strip of normal, hover, pushed and disabled caption buttons."""
    def draw(c, s, ox):
        if s == 1:
            c.draw(rounded_rect(ox, 0, ox + width, height, 0), *hover, (ox, 0, ox + width, height), samples=1)
        elif s == 2:
            c.draw(rounded_rect(ox, 0, ox + width, height, 0), *pushed, (ox, 0, ox + width, height), samples=1)
        shape = glyph(ox + width / 2.0, height / 2.0)
        c.draw(shape, WHITE, 0.45 if s == 3 else 1.0, (ox, 0, ox + width, height))
    return sheet(states, width, height, draw)


def glyph_close(cx, cy, half=4.6, r=0.85):
    return union(capsule(cx - half, cy - half, cx + half, cy + half, r),
                 capsule(cx - half, cy + half, cx + half, cy - half, r))


def glyph_max(cx, cy):
    return union(rect_outline(cx - 5.5, cy - 4.5, cx + 5.5, cy + 4.5, 1.1),
                 rounded_rect(cx - 5.5, cy - 4.5, cx + 5.5, cy - 2.6, 0))


def glyph_restore(cx, cy):
    back = minus(rect_outline(cx - 2.5, cy - 5.5, cx + 5.5, cy + 1.5, 1.1), rounded_rect(cx - 5.5, cy - 2.5, cx + 2.5, cy + 4.5, 0))
    front = rect_outline(cx - 5.5, cy - 2.5, cx + 2.5, cy + 4.5, 1.1)
    return union(back, front)


def glyph_min(cx, cy):
    return rounded_rect(cx - 5.5, cy + 2.0, cx + 5.5, cy + 3.2, 0)


def glyph_menu(cx, cy):
    return union(*(rounded_rect(cx - 6, cy + dy - 0.6, cx + 6, cy + dy + 0.6, 0.3) for dy in (-4, 0, 4)))


def glyph_feedback(cx, cy):
    bubble = rect_outline(cx - 6.5, cy - 5.5, cx + 6.5, cy + 3.5, 1.1, 2.0)
    tail = minus(polygon([(cx - 3, cy + 2.6), (cx + 1, cy + 2.6), (cx - 3.5, cy + 7.0)]),
                 rounded_rect(cx - 5.4, cy - 4.4, cx + 5.4, cy + 2.4, 1.0))
    dots = union(*(circle(cx + dx, cy - 1.0, 0.9) for dx in (-3, 0, 3)))
    return union(bubble, tail, dots)


HOVER_LIGHT = (WHITE, 0.20)
PUSHED_LIGHT = (WHITE, 0.32)
HOVER_RED = (CLOSE_HOVER, 1.0)
PUSHED_RED = (CLOSE_PUSHED, 1.0)


def tab_icons():
    """png 53: one 40 x 40 badge per main tab, in tab order."""
    c = Canvas(4 * 40, 40)
    for i, colour in enumerate(ACCENTS):
        ox = i * 40
        cx, cy = ox + 20.0, 20.0
        c.draw(circle(cx, cy + 0.8, 17.2), (0x10, 0x2A, 0x66), 0.22, (ox, 0, ox + 40, 40))  # soft shadow
        c.draw(circle(cx, cy, 17.0), colour, 1.0, (ox, 0, ox + 40, 40))
        c.draw(minus(circle(cx, cy, 17.0), circle(cx, cy, 15.8)), WHITE, 0.55, (ox, 0, ox + 40, 40))
        if i == 0:  # downloads: an arrow into a tray
            glyph = union(capsule(cx, cy - 9, cx, cy + 1, 2.0),
                          polygon([(cx - 7, cy - 1), (cx + 7, cy - 1), (cx, cy + 7)]),
                          capsule(cx - 8, cy + 9.5, cx + 8, cy + 9.5, 1.4))
        elif i == 1:  # themes: a window with its title bar
            glyph = union(rect_outline(cx - 9, cy - 8, cx + 9, cy + 8, 1.8, 2.0),
                          rounded_rect(cx - 9, cy - 8, cx + 9, cy - 3, 2.0),
                          rounded_rect(cx - 5.5, cy + 0.5, cx + 1.5, cy + 4.5, 0.8))
        elif i == 2:  # wallpapers: a picture with hills and a sun
            glyph = union(rect_outline(cx - 10, cy - 8, cx + 10, cy + 8, 1.8, 1.5),
                          polygon([(cx - 8, cy + 6.5), (cx - 2.5, cy - 1), (cx + 1.5, cy + 3.5),
                                   (cx + 4, cy + 1), (cx + 8.5, cy + 6.5)]),
                          circle(cx + 3.8, cy - 2.6, 2.0))
        else:  # web games: a game pad
            pad = rounded_rect(cx - 11, cy - 6, cx + 11, cy + 7, 5.5)
            holes = [rounded_rect(cx - 8.2, cy - 0.6, cx - 2.8, cy + 1.6, 0.3),
                     rounded_rect(cx - 6.6, cy - 2.2, cx - 4.4, cy + 3.2, 0.3),
                     circle(cx + 4.2, cy - 0.6, 1.6), circle(cx + 7.4, cy + 2.4, 1.6)]
            glyph = minus(pad, *holes)
        c.draw(glyph, WHITE, 1.0, (ox, 0, ox + 40, 40))
    return c


def logo_button(size, plate, states=4):
    """The emblem as an image button: normal, hover (lifted), pushed, disabled."""
    def draw(c, s, ox):
        if s == 1:
            c.draw(rounded_rect(ox + 1, 2, ox + size - 1, size, size * 0.22), (0x0A, 0x20, 0x50), 0.25,
                   (ox, 0, ox + size, size))
        inset = 3 if s == 2 else 2
        offset = 0 if s == 1 else 1
        draw_emblem(c, ox + inset, inset - 1 + offset, size - 2 * inset, plate, 0.5 if s == 3 else 1.0)
    return sheet(states, size, size, draw)


# --- bitmaps --------------------------------------------------------------------
def columns(width, height, column_colour):
    """A bitmap whose pixel colour comes from (x, y)."""
    c = Canvas(width, height)
    for y in range(height):
        for x in range(width):
            c.set(x, y, column_colour(x, y))
    return c


def tab_strip():
    """bmp 5: the main tabs, 72 x 68 each: normal (transparent), hover, selected.
    Edges are smoothed against the header colour of the row they sit on."""
    w, h = 72, 68
    c = Canvas(3 * w, h)
    c.fill_rows(lambda y: header_colour(TAB_TOP + y))
    c.covered = [False] * (3 * w * h)
    c.draw(rounded_rect(w + 0.5, 0.5, 2 * w - 0.5, h - 0.5, 6), TAB_HOVER_EDGE, 1.0, (w, 0, 2 * w, h))
    c.draw(rounded_rect(w + 1.5, 1.5, 2 * w - 1.5, h - 1.5, 5), TAB_HOVER, 1.0, (w, 0, 2 * w, h))
    c.draw(rounded_rect(2 * w + 0.5, 0.5, 3 * w - 0.5, h - 0.5, 6), TAB_SELECTED, 1.0, (2 * w, 0, 3 * w, h))
    return c


def header_bar():
    """bmp 6: the main window's header, stretched from its middle column."""
    return columns(3, HEADER_HEIGHT, lambda x, y: BORDER if x != 1 or y == HEADER_HEIGHT - 1 else header_colour(y))


def footer_bar():
    """bmp 7: the main window's footer, 31 high."""
    def colour(x, y):
        if x != 1 or y == 30:
            return BORDER
        if y == 0:
            return SEPARATOR
        return lerp(FOOT_TOP, FOOT_BOTTOM, (y - 1) / 28.0)
    return columns(3, 31, colour)


def body_frame():
    """bmp 8: the side bands of the main window's body, 7 pixels each."""
    return columns(15, 3, lambda x, y: BORDER if x in (0, 14) else BAND)


def box(border, inside=WHITE):
    """A 3 x 3 frame: one-pixel border, centre pixel for the stretched bands."""
    return columns(3, 3, lambda x, y: inside if (x, y) == (1, 1) else border)


def popup_head():
    """bmp 16: a pop-up's 30-pixel header, drawn as the frame's top band."""
    def colour(x, y):
        if x != 1:
            return BORDER
        return lerp(BLUE_TOP, BLUE_BOTTOM, min(y / 29.0, 1.0)) if y < 30 else BLUE_BOTTOM
    return columns(3, 31, colour)


def popup_foot():
    """bmp 33: a pop-up's footer: side and bottom borders."""
    return columns(3, 3, lambda x, y: BORDER if x != 1 or y == 2 else POP_FOOT)


def popup_side():
    """bmp 17: a pop-up's body: side borders."""
    return columns(3, 3, lambda x, y: BORDER if x != 1 else WHITE)


def ad_head():
    """bmp 34: the header bar of the advertising pop-ups."""
    return columns(3, 30, lambda x, y: BORDER if x != 1 else lerp(BLUE_TOP, BLUE_BOTTOM, y / 29.0))


def light_bar(height, top, bottom):
    return columns(3, height, lambda x, y: BORDER if x != 1 else lerp(top, bottom, y / max(height - 1, 1)))


def rounded_button_bar():
    """bmp 37: a stretchable button background, 7-pixel pieces: normal,
    hover, pushed, disabled; magenta corners."""
    fills = [((0xFE, 0xFE, 0xFE), (0xE4, 0xEC, 0xF7)), ((0xFF, 0xFF, 0xFF), (0xD6, 0xE6, 0xFB)),
             ((0xC9, 0xDC, 0xF7), (0xEE, 0xF4, 0xFC)), ((0xF2, 0xF2, 0xF2), (0xF2, 0xF2, 0xF2))]
    edges = [(0x8C, 0xA8, 0xCC), (0x5B, 0x8C, 0xD8), (0x3F, 0x72, 0xC6), (0xC8, 0xC8, 0xC8)]
    w, h = 7, 26
    c = Canvas(4 * w, h)
    for s in range(4):
        top, bottom = fills[s]
        for y in range(h):
            for x in range(w):
                corner = (x in (0, w - 1) and y in (0, h - 1))
                if corner:
                    c.set(s * w + x, y, MAGENTA)
                elif x in (0, w - 1) or y in (0, h - 1):
                    c.set(s * w + x, y, edges[s])
                else:
                    c.set(s * w + x, y, lerp(top, bottom, y / (h - 1)))
    return c


def left_tabs():
    """bmp 106: the settings dialog's left tabs, 5-pixel pieces (2-pixel left
    cap, stretched middle, 2-pixel right cap): normal, hover, selected."""
    w, h = 5, 30
    c = Canvas(3 * w, h)
    for s in range(3):
        for y in range(h):
            for x in range(w):
                if s == 0:
                    colour = SEPARATOR if x == w - 1 else POP_FOOT
                elif s == 1:
                    colour = SEPARATOR if x == w - 1 else (0xE3, 0xEC, 0xFA)
                else:
                    colour = BLUE_BOTTOM if x < 2 else WHITE
                c.set(s * w + x, y, colour)
    return c


def main(folder):
    os.makedirs(folder, exist_ok=True)

    def png(image_id, canvas):
        write_png(os.path.join(folder, "png%d.png" % image_id), canvas)

    def bmp(image_id, canvas, key=None):
        write_bmp(os.path.join(folder, "bmp%d.bmp" % image_id), canvas, key)

    png(3, header_decoration())
    png(44, caption_button(4, 41, 26, glyph_close, HOVER_RED, PUSHED_RED))
    png(46, caption_button(4, 31, 26, glyph_max, HOVER_LIGHT, PUSHED_LIGHT))
    png(47, caption_button(4, 31, 26, glyph_min, HOVER_LIGHT, PUSHED_LIGHT))
    png(48, caption_button(4, 31, 26, glyph_restore, HOVER_LIGHT, PUSHED_LIGHT))
    png(49, caption_button(4, 31, 26, glyph_menu, HOVER_LIGHT, PUSHED_LIGHT))
    png(50, caption_button(4, 31, 26, glyph_feedback, HOVER_LIGHT, PUSHED_LIGHT))
    png(53, tab_icons())
    png(54, logo_button(52, WHITE))
    png(55, logo_button(60, WHITE, states=1))
    png(56, caption_button(4, 30, 30, lambda cx, cy: glyph_close(cx, cy, 4.2), HOVER_RED, PUSHED_RED))
    png(57, caption_button(4, 24, 24, lambda cx, cy: glyph_close(cx, cy, 4.0), HOVER_RED, PUSHED_RED))
    png(58, caption_button(4, 22, 18, lambda cx, cy: glyph_close(cx, cy, 3.6), HOVER_RED, PUSHED_RED))
    png(59, caption_button(4, 22, 18, lambda cx, cy: rounded_rect(cx - 4.5, cy + 1.5, cx + 4.5, cy + 2.7, 0),
                           HOVER_LIGHT, PUSHED_LIGHT))

    bmp(3, box(SEPARATOR))
    bmp(5, tab_strip(), MAGENTA)
    bmp(6, header_bar())
    bmp(7, footer_bar())
    bmp(8, body_frame())
    bmp(10, box((0xD5, 0xDE, 0xEB)))
    bmp(11, box((0xD5, 0xDE, 0xEB)))
    bmp(16, popup_head())
    bmp(17, popup_side())
    bmp(33, popup_foot())
    bmp(34, ad_head())
    # Tall enough for the set-home pop-up, whose body it fills at its own height.
    bmp(35, light_bar(160, (0xF7, 0xF9, 0xFC), POP_FOOT))
    bmp(36, light_bar(96, (0xD9, 0xE6, 0xFB), POP_FOOT))
    bmp(37, rounded_button_bar())
    bmp(106, left_tabs())
    bmp(107, columns(99, 1, lambda x, y: SEPARATOR))
    bmp(114, box(BORDER))
    bmp(504, box((0xD0, 0xD0, 0xD0), (0xF0, 0xF0, 0xF0)))

    write_ico(os.path.join(folder, "app.ico"), [app_icon(48), app_icon(32), app_icon(16)])
    write_ico(os.path.join(folder, "small.ico"), [app_icon(16), app_icon(32)])


if __name__ == "__main__":
    main(sys.argv[1])
