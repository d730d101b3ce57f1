#!/usr/bin/env python3
"""Checks what the sample dialog's pictures show (skinsample PATH.png):

- PATH-print.png, the view's own drawing: the layout's 640 x 420, the body's
  colour where nothing is drawn on it, the blue header band and, on it, a
  close button that stands out;
- PATH.png, the screen around the window: 16 pixels more on each side, and
  inside it what the view drew;
- PATH-msgbox.png, the same area with the message box up: the box's white
  body in the middle of the dialog, where the dialog alone shows its own.

Usage: check_skinsample_pictures.py PATH.png
"""
import subprocess
import sys


class Picture:
    def __init__(self, path):
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                              capture_output=True, text=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                                  capture_output=True).stdout
        if len(self.rgb) != self.width * self.height * 3:
            raise SystemExit(f"{path}: {len(self.rgb)} bytes of pixels for {self.width} x {self.height}")

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def area(self, left, top, right, bottom):
        return [self.at(x, y) for y in range(top, bottom) for x in range(left, right)]


def luminance(rgb):
    def linear(c):
        c /= 255.0
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast_within(pixels):
    values = [luminance(p) for p in pixels]
    return (max(values) + 0.05) / (min(values) + 0.05)


def share(pixels, colour):
    return sum(1 for p in pixels if p == colour) / len(pixels)


failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def main():
    shot = sys.argv[1]
    stem = shot[:-4] if shot.lower().endswith(".png") else shot
    printed = Picture(stem + "-print.png")
    screen = Picture(shot)
    boxed = Picture(stem + "-msgbox.png")

    expect((printed.width, printed.height) == (640, 420),
           f"the view is {printed.width} x {printed.height}, not 640 x 420")
    expect((screen.width, screen.height) == (672, 452),
           f"the screen picture is {screen.width} x {screen.height}, not 672 x 452")
    expect((boxed.width, boxed.height) == (672, 452),
           f"the message-box picture is {boxed.width} x {boxed.height}, not 672 x 452")
    if failures:
        return

    # The body's own colour right of the page's items, the header band above.
    expect(printed.at(630, 100) == (0xF4, 0xF7, 0xFB), f"body colour {printed.at(630, 100)}")
    band = printed.at(300, 10)
    expect(band[2] > band[0] + 60, f"the header band is not blue: {band}")
    # The close button (-40,0,-12,20): its cross stands out from the band.
    expect(contrast_within(printed.area(600, 0, 628, 20)) >= 3.0, "the close button does not stand out")

    # The screen shows what the view drew (away from the rounded corners).
    inside = [(x, y) for y in range(30, 400) for x in range(10, 630)]
    same = sum(1 for x, y in inside if screen.at(x + 16, y + 16) == printed.at(x, y))
    expect(same >= 0.99 * len(inside), f"the screen differs from the view's drawing: {same} of {len(inside)} alike")

    # The box sits in the middle of its owner, its body white where the
    # dialog shows its own page.
    middle = (200, 175, 470, 250)
    expect(share(boxed.area(*middle), (255, 255, 255)) >= 0.8, "no white message box in the middle")
    expect(share(screen.area(*middle), (255, 255, 255)) <= 0.1, "the dialog alone is white in the middle")
    # Outside the box the dialog is unchanged.
    corner = (20, 380, 180, 430)
    expect(boxed.area(*corner) == screen.area(*corner), "the box changed the dialog's footer")


if __name__ == "__main__":
    main()
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)
