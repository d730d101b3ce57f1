// The main window's left menu: a link whose address holds "?item=" (after its
// first character) is not loaded; it goes to the main window as
// WM_MENU_NAVIGATE, which picks the tab or the content page.
#pragma once

#include "app/browser/UiHtmlContainerWindow.h"

class CUiHtmlSortWindow : public CUiHtmlContainerWindow {
public:
    // The window that gets WM_MENU_NAVIGATE; none: the top-level window
    // above the container.
    void SetNotifyWindow(HWND window) noexcept { m_notifyWindow = window; }

protected:
    void OnBeforeNavigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                          VARIANT* headers, VARIANT_BOOL* cancel) override;

private:
    HWND NotifyWindow() const noexcept;

    HWND m_notifyWindow = nullptr;
};
