#include "skin/SkStyle.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkFontPool.h"
#include "skin/SkHex.h"

namespace {

bool Is(const char* name, const char* expected)
{
    return std::strcmp(name, expected) == 0;
}

HFONT FontForCode(const char* value)
{
    return SkFontPool::Instance().FontForStyle(static_cast<WORD>(HexToInt(-1, value)));
}

} // namespace

HRESULT SkStyle::ApplyAttribute(const char* attribute, const char* value, BOOL)
{
    if (Is(attribute, "name")) {
        name = value;
        return S_OK;
    }
    if (Is(attribute, "skin")) {
        skin = value;
        return S_OK;
    }
    if (Is(attribute, "textmode")) {
        textmode = static_cast<UINT>(HexToInt(-1, value));
        return S_OK;
    }
    struct ColourField {
        const char* name;
        COLORREF SkStyle::*colour;
    };
    static const ColourField kColours[] = {
        {"crbg", &SkStyle::crbg},       {"crbghover", &SkStyle::crbghover},   {"crtext", &SkStyle::crtext},
        {"crhover", &SkStyle::crhover}, {"crdisabled", &SkStyle::crdisabled},
    };
    for (const ColourField& field : kColours) {
        if (Is(attribute, field.name)) {
            this->*field.colour = ParseColor(value);
            return S_FALSE;
        }
    }
    if (Is(attribute, "font")) {
        font = FontForCode(value);
        return S_OK;
    }
    if (Is(attribute, "hoverfont")) {
        hoverfont = FontForCode(value);
        return S_OK;
    }
    struct IntField {
        const char* name;
        int SkStyle::*number;
    };
    static const IntField kNumbers[] = {
        {"x-margin", &SkStyle::xMargin},
        {"y-margin", &SkStyle::yMargin},
        {"spacing", &SkStyle::spacing},
        {"linespacing", &SkStyle::linespacing},
    };
    for (const IntField& field : kNumbers) {
        if (Is(attribute, field.name)) {
            this->*field.number = StrToIntA(value);
            return S_OK;
        }
    }
    if (Is(attribute, "margin")) {
        xMargin = yMargin = StrToIntA(value);
        return S_OK;
    }
    if (Is(attribute, "cursor")) {
        if (Is(value, "hand"))
            cursor = 32649; // IDC_HAND
        else if (Is(value, "arrow"))
            cursor = 32512; // IDC_ARROW
        else
            return E_FAIL;
        return S_FALSE;
    }
    return E_FAIL;
}
