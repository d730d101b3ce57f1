#include "app/common/ScreenGeometry.h"

#include <algorithm>

RECT& PopupCornerRect(RECT& out, const RECT& layout)
{
    const LONG width = layout.right - layout.left;
    const LONG height = layout.bottom - layout.top;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int margin = (screenHeight - GetSystemMetrics(SM_CYFULLSCREEN)) / 2;
    const int gap = LOBYTE(LOWORD(GetVersion())) <= 5 ? 2 : 9;
    out.right = screenWidth - 1;
    out.left = out.right - width;
    out.bottom = screenHeight - margin - gap;
    out.top = out.bottom - height;
    return out;
}

RECT& KeepInsideWorkArea(RECT& rect)
{
    RECT work = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const LONG width = std::min(rect.right - rect.left, work.right - work.left);
    const LONG height = std::min(rect.bottom - rect.top, work.bottom - work.top);
    rect.left = std::max(work.left, std::min(rect.left, work.right - width));
    rect.top = std::max(work.top, std::min(rect.top, work.bottom - height));
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

CString& ScreenResolutionText(CString& out, const wchar_t* format)
{
    out.Format(format, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return out;
}
