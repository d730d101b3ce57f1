#include "app/common/ScreenGeometry.h"

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

CString& ScreenResolutionText(CString& out, const wchar_t* format)
{
    out.Format(format, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return out;
}
