// A skin: a named, reusable way of painting a rectangle.
#pragma once

#include <windows.h>

#include "skin/SkObject.h"

class CSkSkinBase : public CSkObject {
public:
    // Paints the skin into rect. state is the owner's state word (0x01
    // hover, 0x02 pushed, 0x04 checked, 0x10 disabled), a sub-image index,
    // or -1 for no state.
    virtual void Draw(HDC dc, const RECT& rect, int state) const = 0;
    // The skin's natural size; 0 in a dimension it has no size in.
    virtual SIZE GetSkinSize() const = 0;
    // TRUE when the skin looks the same in every state.
    virtual BOOL IgnoresState() const = 0;
};
