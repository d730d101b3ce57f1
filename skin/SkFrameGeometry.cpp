#include "skin/SkFrameGeometry.h"

#include "base/Handle.h"

void SetRoundRectRegion(HWND hwnd)
{
    RECT client;
    RECT window;
    GetClientRect(hwnd, &client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(hwnd, &window);
    OffsetRect(&client, -window.left, -window.top);
    const int l = client.left;
    const int t = client.top;
    const int r = client.right;
    const int b = client.bottom;

    const RECT parts[] = {
        {l, t + 2, r, b - 2},         // every row but the two at each end, whole
        {l + 2, t, r - 2, t + 1},     // first row
        {l + 2, b - 1, r - 2, b},     // last row
        {l + 1, t + 1, r - 1, t + 2}, // second row
        {l + 1, b - 2, r - 1, b - 1}, // second-to-last row
    };
    HRGN region = CreateRectRgnIndirect(&parts[0]);
    for (size_t i = 1; i < sizeof(parts) / sizeof(parts[0]); ++i) {
        CRgnHandle part(CreateRectRgnIndirect(&parts[i]));
        CombineRgn(region, region, part, RGN_OR);
    }
    // The system owns the region from here on.
    if (!SetWindowRgn(hwnd, region, FALSE))
        DeleteObject(region);
}

UINT FrameZoneCommand(POINT point, int cx, int cy)
{
    const int last = kFrameBorder - 1;
    const bool top = point.y <= last;
    const bool bottom = point.y > cy - kFrameBorder;
    if (point.x <= last)
        return SC_SIZE + (top ? WMSZ_TOPLEFT : bottom ? WMSZ_BOTTOMLEFT : WMSZ_LEFT);
    if (point.x > cx - kFrameBorder)
        return SC_SIZE + (top ? WMSZ_TOPRIGHT : bottom ? WMSZ_BOTTOMRIGHT : WMSZ_RIGHT);
    if (top)
        return SC_SIZE + WMSZ_TOP;
    if (bottom)
        return SC_SIZE + WMSZ_BOTTOM;
    return 0;
}

LPCWSTR FrameZoneCursor(POINT point, int cx, int cy)
{
    const int last = kFrameBorder - 1;
    const bool nearBottom = point.y > cy - kFrameBorder && point.y < cy + kFrameBorder;
    if (point.x <= last) {
        if (point.y <= last)
            return IDC_SIZENWSE;
        if (point.y > cy - kFrameBorder)
            return IDC_SIZENESW;
        return IDC_SIZEWE;
    }
    if (point.x > cx - kFrameBorder && point.x < cx + kFrameBorder) {
        if (point.y < kFrameBorder)
            return IDC_SIZENESW;
        if (nearBottom)
            return IDC_SIZENWSE;
        return IDC_SIZEWE;
    }
    if (point.y <= last || nearBottom)
        return IDC_SIZENS;
    return nullptr;
}

void ApplyFrameMinimumSize(RECT& rect)
{
    if (rect.right - rect.left <= kFrameMinWidth)
        rect.right = rect.left + kFrameMinWidth;
    if (rect.bottom - rect.top <= kFrameMinHeight)
        rect.bottom = rect.top + kFrameMinHeight;
}
