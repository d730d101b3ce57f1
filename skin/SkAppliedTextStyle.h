// An item's style put on a DC for drawing text: the text rectangle (the
// item's rectangle less the style's margins), background mode and colour,
// text colour by state and the font. Every DC setting changed is put back
// when the object goes.
#pragma once

#include <windows.h>

class CSkWindow;

class CSkAppliedTextStyle {
public:
    CSkAppliedTextStyle(const CSkWindow& item, HDC hdc);
    CSkAppliedTextStyle(const CSkAppliedTextStyle&) = delete;
    CSkAppliedTextStyle& operator=(const CSkAppliedTextStyle&) = delete;
    ~CSkAppliedTextStyle();

    const RECT& TextRect() const noexcept { return m_textRect; }

private:
    HDC m_hdc;
    RECT m_textRect;
    int m_oldBkMode = 0;
    COLORREF m_oldBkColor = CLR_INVALID;
    COLORREF m_oldTextColor = CLR_INVALID;
    HGDIOBJ m_oldFont = nullptr;
    bool m_bkModeChanged = false;
    bool m_bkColorChanged = false;
    bool m_textColorChanged = false;
};
