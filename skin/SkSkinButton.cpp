#include "skin/SkSkinButton.h"

#include <cstring>

#include "base/Handle.h"
#include "skin/SkGradient.h"
#include "skin/SkHex.h"

HRESULT CSkSkinButton::ApplyAttribute(const char* name, const char* value, BOOL)
{
    struct Field {
        const char* name;
        COLORREF CSkSkinButton::*colour;
    };
    static const Field kFields[] = {
        {"bg", &CSkSkinButton::bg},
        {"border", &CSkSkinButton::border},
        {"bgup", &CSkSkinButton::bgUp},
        {"bguphover", &CSkSkinButton::bgUpHover},
        {"bguppush", &CSkSkinButton::bgUpPush},
        {"bgdown", &CSkSkinButton::bgDown},
        {"bgdownhover", &CSkSkinButton::bgDownHover},
        {"bgdownpush", &CSkSkinButton::bgDownPush},
    };
    for (const Field& field : kFields) {
        if (std::strcmp(name, field.name) == 0) {
            this->*field.colour = ParseColor(value);
            return S_OK;
        }
    }
    return E_FAIL;
}

void CSkSkinButton::Draw(HDC dc, const RECT& rect, int state) const
{
    COLORREF oldBack = SetBkColor(dc, bg);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, oldBack);

    if (!(state & 0x10)) {
        const bool pushed = (state & 0x02) != 0;
        const bool hover = (state & 0x01) != 0;
        RECT inside = rect;
        InflateRect(&inside, -2, -2);
        SkGradientStops stops;
        stops.from = pushed ? bgUpPush : hover ? bgUpHover : bgUp;
        stops.to = pushed ? bgDownPush : hover ? bgDownHover : bgDown;
        stops.length = inside.bottom - inside.top;
        GradientFillRectVert(stops, inside, dc);
    }

    CPenHandle pen(CreatePen(PS_SOLID, 1, border));
    CSelectObject selectPen(dc, pen);
    CSelectObject selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}
