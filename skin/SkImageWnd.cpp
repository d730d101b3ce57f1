#include "skin/SkImageWnd.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkSkinPool.h"

HRESULT CSkImageWnd::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "skin") == 0) {
        m_skin = FindSkin(value);
        return S_OK;
    }
    if (std::strcmp(name, "sub") == 0) {
        m_sub = StrToIntA(value);
        return S_FALSE;
    }
    return E_FAIL;
}

BOOL CSkImageWnd::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        // An image never draws its text.
        if (m_skin)
            m_skin->Draw(reinterpret_cast<HDC>(wParam), m_rect, SkinState());
        return TRUE;
    case SKM_MEASURE:
        MeasureItem(static_cast<BOOL>(wParam), *reinterpret_cast<SIZE*>(lParam));
        MeasureBySkin(*reinterpret_cast<SIZE*>(lParam));
        result = 0;
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

void CSkImageWnd::MeasureBySkin(SIZE& size)
{
    if (!m_skin)
        return;
    const SIZE skinSize = m_skin->GetSkinSize();
    if (skinSize.cx)
        size.cx = skinSize.cx;
    if (skinSize.cy)
        size.cy = skinSize.cy;
}
