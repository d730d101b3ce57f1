// "button": a drawn push button: a plain fill, a vertical gradient by state
// (none while disabled) and a one-pixel border.
#pragma once

#include "skin/SkSkinBase.h"

class CSkSkinButton : public CSkSkinBase {
public:
    const char* TagName() const override { return "button"; }
    // Every attribute is a colour: "bg", "border", "bgup", "bguphover",
    // "bguppush", "bgdown", "bgdownhover", "bgdownpush".
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;
    void Draw(HDC dc, const RECT& rect, int state) const override;
    SIZE GetSkinSize() const override { return SIZE{0, 0}; }
    BOOL IgnoresState() const override { return FALSE; }

    COLORREF bg = 0xEEEEEE;
    COLORREF border = 0x707070;
    COLORREF bgUp = 0xEEEEEE;
    COLORREF bgUpHover = 0xEEEEEE;
    COLORREF bgUpPush = 0xCECECE;
    COLORREF bgDown = 0xD6D6D6;
    COLORREF bgDownHover = 0xE0E0E0;
    COLORREF bgDownPush = 0xC0C0C0;
};
