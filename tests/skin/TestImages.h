// The pixel formulas of make_test_images.py, for comparing what was drawn.
#pragma once

#include <windows.h>

namespace test_images {

inline COLORREF StripPixel(int x, int y)
{
    return RGB(x, (x / 72) * 100 + y, 50);
}

inline COLORREF MaskPixel(int x, int y)
{
    switch ((x + y) % 3) {
    case 0:
        return RGB(255, 0, 255);
    case 1:
        return RGB(0, 255, 0);
    default:
        return RGB(10 * x, 20 * y, 200);
    }
}

inline COLORREF FramePixel(int x, int y)
{
    return RGB(x * 30 + 10, y * 7, 90);
}

inline COLORREF HorzPixel(int x, int y)
{
    return RGB(x * 6, (x / 10) * 60 + y, 7);
}

struct Rgba {
    int r, g, b, a;
};

inline Rgba AlphaPixel(int x, int y)
{
    int a = (x == 1 && y == 1) ? 255 : (x * 37 + y * 61) % 256;
    return Rgba{200, x * 20, y * 50, a};
}

inline Rgba PngPixel(int x, int y)
{
    int a = y < 10 ? 255 : (y == 10 ? 0 : 128);
    return Rgba{x * 2, y * 20, 100 + (x / 41) * 50, a};
}

} // namespace test_images
