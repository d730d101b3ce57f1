// The main window's content page: it remembers the current and the previous
// address (the page's "back" goes to the previous one), leaving out blank
// pages, script links and the error page, and gives the page the catalogue
// script object.
#pragma once

#include "app/browser/UiHtmlContainerWindow.h"

class CUiHtmlListWindow : public CUiHtmlContainerWindow {
public:
    const CString& PrevUrl() const noexcept { return m_strPrevUrl; }
    const CString& CurUrl() const noexcept { return m_strCurUrl; }

protected:
    void OnBeforeNavigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                          VARIANT* headers, VARIANT_BOOL* cancel) override;
    void InstallUIHandler(IHTMLDocument2* document) override;

private:
    CString m_strPrevUrl;
    CString m_strCurUrl;
};
