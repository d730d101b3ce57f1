// A style: a named bundle of look settings that items copy ("class"
// attribute) and may then change. Copies share the font handles, which the
// font pool owns.
#pragma once

#include <windows.h>

#include <string>

#include "skin/SkObject.h"

class SkStyle : public CSkObject {
public:
    const char* TagName() const override { return "style"; }
    // Colours are RRGGBB; "textmode", "font" and "hoverfont" hexadecimal;
    // margins and spacings decimal; "cursor" hand or arrow.
    HRESULT ApplyAttribute(const char* name, const char* value, BOOL loading) override;

    COLORREF crbg = CLR_INVALID; // CLR_INVALID: not set
    COLORREF crbghover = CLR_INVALID;
    COLORREF crtext = CLR_INVALID;
    COLORREF crhover = CLR_INVALID;
    COLORREF crdisabled = 0xCCCCCC;
    UINT textmode = DT_SINGLELINE | DT_BOTTOM; // DrawText flags
    HFONT font = nullptr;                      // from the font pool; null: not set
    HFONT hoverfont = nullptr;
    int xMargin = 0;
    int yMargin = 0;
    int spacing = 0;
    int linespacing = 20;
    UINT cursor = 32512; // system cursor id, IDC_ARROW
    std::string skin;    // skin name, empty: no skin
    std::string name;
};
