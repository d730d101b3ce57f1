#include "skin/SkDrawFileIcon.h"

#include <shlwapi.h>

#include <cstring>

#include "skin/SkFileIconCache.h"
#include "skin/SkPointerValue.h"

HRESULT CSkDrawFileIcon::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkWindow::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "srcfile") == 0) {
        if (value && *value)
            m_srcFile = CString::FromUtf8(value);
        return S_OK;
    }
    if (std::strcmp(name, "iconhandle") == 0) {
        if (value && *value)
            m_iconHandle = reinterpret_cast<HICON>(ParsePointerValue(value));
        return S_OK;
    }
    return E_FAIL;
}

BOOL CSkDrawFileIcon::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg != SKM_PAINT)
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    Paint(reinterpret_cast<HDC>(wParam));
    return TRUE;
}

void CSkDrawFileIcon::Paint(HDC hdc) const
{
    HICON icon = m_iconHandle;
    if (!icon) {
        if (!PathFileExistsW(m_srcFile))
            return;
        icon = SkFileIconCache::Instance().GetIcon(m_srcFile);
        if (!icon)
            return;
    }
    DrawIconEx(hdc, m_rect.left, m_rect.top, icon, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, 0,
               nullptr, DI_NORMAL);
}
