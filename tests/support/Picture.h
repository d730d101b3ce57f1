// Pictures of windows for tests that check what the user sees: the pixels of
// a screen area or of a window's own drawing (WM_PRINT), and the contrast
// between two colours.
#pragma once

#include <windows.h>

#include <vector>

struct CPicture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // rows from the top

    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // The pixels of rect (picture coordinates, cut to the picture).
    std::vector<COLORREF> Area(const RECT& rect) const;
};

// The screen area as the user sees it (screen coordinates).
bool TakeScreenPicture(const RECT& rect, CPicture& picture);
// What the window draws into its client area when asked for WM_PRINT.
bool TakePrintedPicture(HWND hwnd, CPicture& picture);

// The contrast ratio of two colours, 1 (the same light) to 21 (black on
// white), from their relative luminance in sRGB.
double ContrastRatio(COLORREF a, COLORREF b);
// The contrast ratio against the colour that a mark of the pixels reaches:
// at least 3 of them and 2 % of the area, so that a stray pixel is no mark.
double MostContrastAgainst(const std::vector<COLORREF>& pixels, COLORREF colour);
// The contrast ratio of the lightest against the darkest of the pixels, each
// side a mark as above (a stray pixel is not counted): how well a mark in the
// area stands out from its ground.
double ContrastWithin(const std::vector<COLORREF>& pixels);
