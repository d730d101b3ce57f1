#include "app/browser/UiHtmlListWindow.h"

#include "app/browser/ImpDocHostUIHandleR.h"

namespace {

bool IsRemembered(const CString& url)
{
    if (url == L"about:blank" || url == L"javascript:void(0);")
        return false;
    // The error page, as the program names it and as a file address.
    return url.Find(L"Local\\management\\error.html") < 0 && url.Find(L"Local/management/error.html") < 0;
}

} // namespace

void CUiHtmlListWindow::OnBeforeNavigate(const wchar_t* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                         VARIANT_BOOL*)
{
    CString address(url);
    if (!IsRemembered(address))
        return;
    m_strPrevUrl = m_strCurUrl;
    m_strCurUrl = address;
}

void CUiHtmlListWindow::InstallUIHandler(IHTMLDocument2* document)
{
    SetDocumentUIHandler(document, &CImpDocHostUIHandleR::Shared());
}
