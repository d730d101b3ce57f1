#include "app/browser/UiHtmlSortWindow.h"

#include "app/browser/BrowserMessages.h"
#include "base/MarkedSend.h"

HWND CUiHtmlSortWindow::NotifyWindow() const noexcept
{
    if (m_notifyWindow)
        return m_notifyWindow;
    HWND top = m_hWnd;
    while (HWND parent = GetParent(top))
        top = parent;
    return top;
}

void CUiHtmlSortWindow::OnBeforeNavigate(const wchar_t* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                         VARIANT_BOOL* cancel)
{
    CString address(url);
    if (address.Find(L"?item=") <= 0)
        return;
    SendMarked(NotifyWindow(), WM_MENU_NAVIGATE, kMenuLinkKind, address.GetString());
    *cancel = VARIANT_TRUE;
}
