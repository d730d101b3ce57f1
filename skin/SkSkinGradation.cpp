#include "skin/SkSkinGradation.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkGradient.h"
#include "skin/SkHex.h"

HRESULT CSkSkinGradation::ApplyAttribute(const char* name, const char* value, BOOL)
{
    if (std::strcmp(name, "from") == 0) {
        from = ParseColor(value);
        return S_OK;
    }
    if (std::strcmp(name, "to") == 0) {
        to = ParseColor(value);
        return S_OK;
    }
    if (std::strcmp(name, "size") == 0) {
        size = StrToIntA(value);
        return S_OK;
    }
    if (std::strcmp(name, "direction") == 0) {
        if (std::strcmp(value, "horz") == 0)
            vertical = FALSE;
        else if (std::strcmp(value, "vert") == 0)
            vertical = TRUE;
        else
            return E_FAIL;
        return S_OK;
    }
    return E_FAIL;
}

void CSkSkinGradation::Draw(HDC dc, const RECT& rect, int) const
{
    COLORREF oldBack = SetBkColor(dc, to);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, oldBack);

    int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    SkGradientStops stops{from, 0, to};
    if (vertical) {
        stops.length = size > 0 ? size : rect.bottom - rect.top;
        GradientFillRectVert(stops, rect, dc);
    } else {
        stops.length = size > 0 ? size : rect.right - rect.left;
        GradientFillRect(stops, rect, dc);
    }
    RestoreDC(dc, saved);
}
