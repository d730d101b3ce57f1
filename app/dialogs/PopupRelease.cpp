#include "app/dialogs/PopupRelease.h"

#include <process.h>

#include "app/common/ScreenGeometry.h"
#include "skin/SkDialogImplBase.h"

HWND CreatePopupAtCorner(CSkDialogImplBase& popup)
{
    const HWND hwnd = popup.Create(GetDesktopWindow());
    if (!hwnd)
        return nullptr;

    RECT window = {};
    GetWindowRect(hwnd, &window);
    RECT corner = {};
    PopupCornerRect(corner, window);
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    const LONG_PTR wanted = (exStyle & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW;
    if (wanted != exStyle)
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, wanted);
    SetWindowPos(hwnd, HWND_TOPMOST, corner.left, corner.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    return hwnd;
}

void ReleasePopup(CSkDialogImplBase* popup)
{
    if (!popup->m_view.m_hWnd) {
        delete popup;
        return;
    }
    if (_beginthread(WaitAndReleaseThread, 0, popup) == static_cast<uintptr_t>(-1L)) {
        // No thread: the object is left rather than freed under its window.
    }
}

void __cdecl WaitAndReleaseThread(void* argument)
{
    auto* popup = static_cast<CSkDialogImplBase*>(argument);
    while (popup->m_view.m_hWnd)
        Sleep(100);
    delete popup;
}
