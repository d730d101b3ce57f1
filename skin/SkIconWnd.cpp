#include "skin/SkIconWnd.h"

#include <shlwapi.h>

#include <cstring>

BOOL CSkIconWnd::LoadFromXml(const TiXmlElement* element)
{
    if (!CSkWindow::LoadFromXml(element))
        return FALSE;
    LoadIcon();
    return TRUE;
}

HRESULT CSkIconWnd::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "src") == 0)
        m_src = StrToIntA(value);
    else if (std::strcmp(name, "oem") == 0)
        m_oem = StrToIntA(value);
    else if (std::strcmp(name, "size") == 0)
        m_size = StrToIntA(value);
    else
        return E_FAIL;
    return S_FALSE;
}

BOOL CSkIconWnd::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        Paint(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case SKM_MEASURE: {
        SIZE& size = *reinterpret_cast<SIZE*>(lParam);
        size = {m_size, m_size};
        result = 0;
        return TRUE;
    }
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

void CSkIconWnd::LoadIcon()
{
    m_ownedIcon.Reset();
    m_systemIcon = nullptr;
    if (m_oem)
        m_systemIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(LOWORD(m_src)));
    else
        m_ownedIcon.Reset(
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(LOWORD(m_src)),
                                          IMAGE_ICON, m_size, m_size, LR_DEFAULTCOLOR)));
    m_loadedSrc = m_src;
}

void CSkIconWnd::Paint(HDC hdc)
{
    if (m_src != m_loadedSrc)
        LoadIcon();
    if (HICON icon = Icon())
        DrawIconEx(hdc, m_rect.left, m_rect.top, icon, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
                   0, nullptr, DI_NORMAL);
}
