#include "skin/SkAppliedTextStyle.h"

#include "skin/SkWindow.h"

CSkAppliedTextStyle::CSkAppliedTextStyle(const CSkWindow& item, HDC hdc) : m_hdc(hdc)
{
    const SkStyle& style = item.m_style;
    m_textRect = item.m_rect;
    InflateRect(&m_textRect, -style.xMargin, -style.yMargin);

    if (!style.skin.empty()) {
        m_oldBkMode = SetBkMode(hdc, TRANSPARENT);
        m_bkModeChanged = true;
    }
    if (style.crbg != CLR_INVALID) {
        m_oldBkColor = SetBkColor(hdc, style.crbg);
        m_bkColorChanged = true;
    }

    COLORREF textColor = style.crtext;
    HFONT font = style.font;
    if (item.IsDisabledInTree() && style.crdisabled != CLR_INVALID) {
        textColor = style.crdisabled;
    } else if (item.IsHovered()) {
        if (style.crhover != CLR_INVALID)
            textColor = style.crhover;
        if (style.hoverfont)
            font = style.hoverfont;
    }
    if (font)
        m_oldFont = SelectObject(hdc, font);
    if (textColor != CLR_INVALID) {
        m_oldTextColor = SetTextColor(hdc, textColor);
        m_textColorChanged = true;
    }
}

CSkAppliedTextStyle::~CSkAppliedTextStyle()
{
    if (m_textColorChanged)
        SetTextColor(m_hdc, m_oldTextColor);
    if (m_oldFont)
        SelectObject(m_hdc, m_oldFont);
    if (m_bkColorChanged)
        SetBkColor(m_hdc, m_oldBkColor);
    if (m_bkModeChanged)
        SetBkMode(m_hdc, m_oldBkMode);
}
