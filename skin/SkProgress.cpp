#include "skin/SkProgress.h"

#include <shlwapi.h>

#include <cstring>
#include <utility>

#include "base/Handle.h"
#include "base/RefString.h"
#include "skin/SkAppliedTextStyle.h"
#include "skin/SkSkinPool.h"

namespace {

const COLORREF kFrameColour = RGB(112, 112, 112);
const COLORREF kBarColour = RGB(66, 97, 144);
const COLORREF kTextOverBarColour = RGB(255, 255, 255);
const UINT kPercentFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
const int kBarInset = 2;

} // namespace

HRESULT CSkProgress::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "bgskin") == 0) {
        m_bgSkin = FindSkin(value);
        return S_OK;
    }
    if (std::strcmp(name, "posskin") == 0) {
        m_posSkin = FindSkin(value);
        return S_OK;
    }
    if (std::strcmp(name, "min") == 0)
        m_min = static_cast<UINT>(StrToIntA(value));
    else if (std::strcmp(name, "max") == 0)
        m_max = static_cast<UINT>(StrToIntA(value));
    else if (std::strcmp(name, "value") == 0)
        m_value = static_cast<UINT>(StrToIntA(value));
    else if (std::strcmp(name, "showpercent") == 0)
        m_showPercent = StrToIntA(value);
    else
        return E_FAIL;
    return S_FALSE;
}

BOOL CSkProgress::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case SKM_MEASURE: {
        SIZE& size = *reinterpret_cast<SIZE*>(lParam);
        MeasureItem(static_cast<BOOL>(wParam), size);
        if (m_bgSkin)
            size.cy = m_bgSkin->GetSkinSize().cy;
        result = 0;
        return TRUE;
    }
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

double CSkProgress::Fraction()
{
    if (m_max == m_min)
        return 0.0;
    if (m_max < m_min)
        std::swap(m_min, m_max);
    if (m_value < m_min)
        m_value = m_min;
    else if (m_value > m_max)
        m_value = m_max;
    return static_cast<double>(m_value - m_min) / static_cast<double>(m_max - m_min);
}

void CSkProgress::Paint(HDC hdc)
{
    CSkAppliedTextStyle applied(*this, hdc);
    CPenHandle pen(CreatePen(PS_SOLID, 1, kFrameColour));
    CString percent;
    RECT bar;
    {
        CSelectObject selectedPen(hdc, pen);
        if (m_bgSkin)
            m_bgSkin->Draw(hdc, m_rect, 0);
        else
            RoundRect(hdc, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom, 2, 2);

        const double fraction = Fraction();
        if (m_showPercent) {
            percent.Format(L"%d%%", static_cast<int>(fraction * 100));
            RECT textRect = m_rect;
            DrawTextW(hdc, percent.GetString(), percent.GetLength(), &textRect, kPercentFormat);
        }
        bar = BarRect(fraction);
        DrawBar(hdc, bar);
    }
    if (m_showPercent)
        DrawPercentOverBar(hdc, bar, percent.GetString());
}

RECT CSkProgress::BarRect(double fraction) const
{
    RECT bar = m_rect;
    if (m_posSkin) {
        const int itemHeight = m_rect.bottom - m_rect.top;
        const int skinHeight = m_posSkin->GetSkinSize().cy;
        InflateRect(&bar, -kBarInset, (itemHeight - skinHeight) / -2);
    } else {
        InflateRect(&bar, -kBarInset, -kBarInset);
    }
    bar.right = bar.left + static_cast<int>((bar.right - bar.left) * fraction);
    return bar;
}

void CSkProgress::DrawBar(HDC hdc, const RECT& bar) const
{
    if (m_posSkin) {
        m_posSkin->Draw(hdc, bar, 0);
        return;
    }
    RoundRect(hdc, bar.left, bar.top, bar.right, bar.bottom, 2, 2);
    const COLORREF old = SetBkColor(hdc, kBarColour);
    ExtTextOutW(hdc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
    SetBkColor(hdc, old);
}

// The same text again, clipped to the bar, in the background colour (white
// without one), so that the part over the bar stands out.
void CSkProgress::DrawPercentOverBar(HDC hdc, const RECT& bar, const wchar_t* text) const
{
    CRgnHandle saved(CreateRectRgn(0, 0, 0, 0));
    const bool hadClip = GetClipRgn(hdc, saved) == 1;
    IntersectClipRect(hdc, bar.left, bar.top, bar.right, bar.bottom);
    const COLORREF colour = m_style.crbg != CLR_INVALID ? m_style.crbg : kTextOverBarColour;
    const COLORREF oldColour = SetTextColor(hdc, colour);
    RECT textRect = m_rect;
    DrawTextW(hdc, text, -1, &textRect, kPercentFormat);
    SetTextColor(hdc, oldColour);
    SelectClipRgn(hdc, hadClip ? saved.Get() : nullptr);
}
