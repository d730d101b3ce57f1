// The geometry of the borderless round-rect frame: the window region with
// cut corners, the resize zones along the edges, and the smallest size of
// a sizeable frame.
#pragma once

#include <windows.h>

// The width of the resize border, in pixels.
constexpr int kFrameBorder = 5;
// A sizeable frame is never made smaller than this by dragging its edges.
constexpr int kFrameMinWidth = 960;
constexpr int kFrameMinHeight = 660;

// Clips the window to its client rectangle less two pixels at each end of
// the first and last rows and one pixel at each end of the second and
// second-to-last rows. The window is not redrawn.
void SetRoundRectRegion(HWND hwnd);

// The WM_SYSCOMMAND that sizes the window from a press at point (client
// coordinates of a cx x cy client): SC_SIZE plus the WMSZ_ edge; 0 inside.
UINT FrameZoneCommand(POINT point, int cx, int cy);

// The system cursor for the mouse at point; null inside the border.
LPCWSTR FrameZoneCursor(POINT point, int cx, int cy);

// The signed coordinates packed in a mouse or size message's lParam.
inline int FramePointX(LPARAM lParam)
{
    return static_cast<short>(LOWORD(lParam));
}
inline int FramePointY(LPARAM lParam)
{
    return static_cast<short>(HIWORD(lParam));
}

// WM_SIZING: widens and heightens a dragged rectangle to the smallest size.
void ApplyFrameMinimumSize(RECT& rect);
