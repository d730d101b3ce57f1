#include "skin/SkToggleBox.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>

#include "skin/UxThemeApi.h"

CSkToggleBox::~CSkToggleBox()
{
    const UxThemeApi& api = UxThemeApi::Instance();
    if (m_theme && api.closeThemeData)
        api.closeThemeData(m_theme);
}

HRESULT CSkToggleBox::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "check") == 0) {
        m_check = StrToIntA(value);
        return S_FALSE;
    }
    return E_FAIL;
}

BOOL CSkToggleBox::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case SKM_MEASURE:
        Measure(static_cast<BOOL>(wParam), *reinterpret_cast<SIZE*>(lParam));
        result = 0;
        return TRUE;
    case SKM_LBUTTONUP:
        OnClick();
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

RECT CSkToggleBox::GlyphRect() const
{
    RECT glyph = m_rect;
    glyph.right = glyph.left + m_geometry.glyphWidth;
    if (m_geometry.glyphHeight) {
        glyph.top = m_rect.top + (m_rect.bottom - m_rect.top - m_geometry.glyphHeight) / 2;
        glyph.bottom = glyph.top + m_geometry.glyphHeight;
    }
    return glyph;
}

int CSkToggleBox::ThemedStateId(UINT state)
{
    int id = 1; // CBS_UNCHECKEDNORMAL, RBS_UNCHECKEDNORMAL
    if (state & SKS_DISABLED)
        id = 4;
    else if (state & SKS_PUSHED)
        id = 3;
    else if (state & SKS_HOVER)
        id = 2;
    return (state & SKS_CHECKED) ? id + 4 : id;
}

UINT CSkToggleBox::FrameControlFlags(UINT state) const
{
    UINT flags = m_geometry.frameFlags | DFCS_TRANSPARENT;
    if (state & SKS_DISABLED)
        flags |= DFCS_INACTIVE;
    if (state & SKS_HOVER)
        flags |= DFCS_HOT;
    if (state & SKS_PUSHED)
        flags |= DFCS_PUSHED;
    if (state & SKS_CHECKED)
        flags |= DFCS_CHECKED;
    return flags;
}

// The state bits the glyph shows; a disabled ancestor greys the glyph as it
// greys the text.
UINT CSkToggleBox::GlyphState() const
{
    UINT state = m_state;
    if (IsDisabledInTree())
        state |= SKS_DISABLED;
    return state;
}

void CSkToggleBox::Paint(HDC hdc)
{
    RECT glyph = GlyphRect();
    if (!m_theme)
        OpenButtonTheme(m_theme); // tried again at the next paint when it fails
    const UxThemeApi& api = UxThemeApi::Instance();
    const UINT state = GlyphState();
    if (m_theme && api.drawThemeBackground)
        api.drawThemeBackground(m_theme, hdc, m_geometry.themePart, ThemedStateId(state), &glyph, nullptr);
    else
        DrawFrameControl(hdc, &glyph, DFC_BUTTON, FrameControlFlags(state));

    m_style.textmode = (m_style.textmode & ~m_geometry.textmodeRemove) | m_geometry.textmodeAdd;
    m_rect.left += m_geometry.textOffset;
    DrawItemText(hdc);
    m_rect.left -= m_geometry.textOffset;
}

void CSkToggleBox::Measure(BOOL limited, SIZE& size)
{
    MeasureItem(limited, size);
    size.cx += m_geometry.textOffset;
    size.cy = std::max<LONG>(size.cy, m_geometry.minHeight);
}
