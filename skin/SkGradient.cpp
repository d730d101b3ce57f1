#include "skin/SkGradient.h"

#include "base/Handle.h"

namespace {

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

TRIVERTEX Vertex(LONG x, LONG y, COLORREF colour)
{
    TRIVERTEX vertex{};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(GetRValue(colour) << 8);
    vertex.Green = static_cast<COLOR16>(GetGValue(colour) << 8);
    vertex.Blue = static_cast<COLOR16>(GetBValue(colour) << 8);
    vertex.Alpha = 0;
    return vertex;
}

void FillTwoVertices(HDC dc, TRIVERTEX first, TRIVERTEX second, ULONG mode)
{
    CModuleHandle library(LoadLibraryW(L"msimg32.dll"));
    if (!library)
        return;
    FARPROC entry = GetProcAddress(library, "GradientFill");
    if (!entry)
        return;
    auto gradientFill = reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(entry));
    TRIVERTEX vertices[2] = {first, second};
    GRADIENT_RECT corners{0, 1};
    gradientFill(dc, vertices, 2, &corners, 1, mode);
}

} // namespace

void GradientFillRect(const SkGradientStops& stops, const RECT& rect, HDC dc)
{
    if (rect.left > rect.right)
        return;
    FillTwoVertices(dc, Vertex(rect.left, rect.top, stops.from),
                    Vertex(rect.left + stops.length, rect.bottom, stops.to), GRADIENT_FILL_RECT_H);
}

void GradientFillRectVert(const SkGradientStops& stops, const RECT& rect, HDC dc)
{
    if (rect.top > rect.bottom)
        return;
    FillTwoVertices(dc, Vertex(rect.left, rect.top, stops.from),
                    Vertex(rect.right, rect.top + stops.length, stops.to), GRADIENT_FILL_RECT_V);
}
