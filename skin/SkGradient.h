// Two-colour gradients through GradientFill of msimg32.dll, which is loaded
// for each call (and nothing is drawn where it is missing).
#pragma once

#include <windows.h>

struct SkGradientStops {
    COLORREF from; // at the left or top edge
    int length;    // pixels from that edge to where "to" is reached
    COLORREF to;
};

// From (rect.left, rect.top) to (rect.left + length, rect.bottom); nothing
// when rect.left > rect.right.
void GradientFillRect(const SkGradientStops& stops, const RECT& rect, HDC dc);

// From (rect.left, rect.top) to (rect.right, rect.top + length); nothing
// when rect.top > rect.bottom.
void GradientFillRectVert(const SkGradientStops& stops, const RECT& rect, HDC dc);
