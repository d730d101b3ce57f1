#include "skin/SkTab.h"

#include <shlwapi.h>

#include <cstring>

HRESULT CSkTab::ApplyAttribute(const char* name, const char* value, BOOL loading)
{
    const HRESULT taken = CSkDialog::ApplyAttribute(name, value, loading);
    if (SUCCEEDED(taken))
        return taken;
    if (std::strcmp(name, "title") == 0) {
        m_title = CString::FromUtf8(value);
        return S_FALSE;
    }
    if (std::strcmp(name, "hide") == 0) {
        m_hide = StrToIntA(value);
        return S_FALSE;
    }
    return E_FAIL;
}
