// "gradation": a two-colour gradient over a band at the left or top of the
// rectangle, the rest filled with the end colour.
#pragma once

#include "skin/SkSkinBase.h"

class CSkSkinGradation : public CSkSkinBase {
public:
    const char* TagName() const override { return "gradation"; }
    // "from", "to" colours, "size" band length (0 or less: all),
    // "direction" horz or vert.
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    void Draw(HDC dc, const RECT& rect, int state) const override;
    SIZE GetSkinSize() const override { return SIZE{0, 0}; }
    BOOL IgnoresState() const override { return TRUE; }

    COLORREF from = CLR_INVALID;
    COLORREF to = CLR_INVALID;
    BOOL vertical = FALSE;
    int size = 0;
};
