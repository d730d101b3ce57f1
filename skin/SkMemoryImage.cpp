#include "skin/SkMemoryImage.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkPointerValue.h"

HRESULT CSkMemoryImage::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "mempointer") == 0) {
        m_image = reinterpret_cast<Gdiplus::Image*>(ParsePointerValue(value));
        return S_OK;
    }
    if (std::strcmp(name, "autosize") == 0) {
        if (value && *value)
            m_autosize = StrToIntA(value);
        return S_OK;
    }
    return E_FAIL;
}

BOOL CSkMemoryImage::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg != SKM_PAINT)
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    Paint(reinterpret_cast<HDC>(wParam));
    return TRUE;
}

void CSkMemoryImage::Paint(HDC hdc) const
{
    if (!m_image || (m_autosize != 0 && m_autosize != 1))
        return;
    Gdiplus::Graphics graphics(hdc);
    if (m_autosize == 1) {
        const INT width = static_cast<INT>(m_image->GetWidth());
        const INT height = static_cast<INT>(m_image->GetHeight());
        const Gdiplus::Rect target(m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                                   m_rect.bottom - m_rect.top);
        graphics.DrawImage(m_image, target, 0, 0, width, height, Gdiplus::UnitPixel);
    } else {
        graphics.DrawImage(m_image, static_cast<INT>(m_rect.left), static_cast<INT>(m_rect.top));
    }
}
