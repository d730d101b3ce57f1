// Showing a menu resource as a pop-up at the cursor, for the main window's
// tray menu and main menu. Commands come back as WM_COMMAND to the window.
#pragma once

#include <windows.h>

#include <functional>

#include "base/AppModule.h"

// Keeps x on a monitor: a point that lies on no monitor has x moved into the
// nearest monitor's work area. y is never changed.
int KeepMenuOnMonitor(int x, int y);

template <typename T> class CContextMenu {
public:
    // Shows sub-menu 0 of the menu resource at the cursor, after prepare
    // (when given) has changed it. Returns once the menu has closed.
    void TrackContextMenu(UINT menuId, const std::function<void(HMENU)>& prepare = nullptr)
    {
        HWND owner = static_cast<T*>(this)->m_hWnd;
        HMENU menu = LoadMenuW(ThisModuleInstance(), MAKEINTRESOURCEW(menuId));
        if (!menu)
            return;
        HMENU popup = GetSubMenu(menu, 0);
        if (popup) {
            if (prepare)
                prepare(popup);
            POINT cursor = {};
            GetCursorPos(&cursor);
            const int x = KeepMenuOnMonitor(cursor.x, cursor.y);
            // Without the window in the foreground the menu would not close
            // when the user clicks elsewhere; the WM_NULL lets the next click
            // on the tray icon work at once.
            SetForegroundWindow(owner);
            TrackPopupMenu(popup, TPM_RIGHTBUTTON, x, cursor.y, 0, owner, nullptr);
            PostMessageW(owner, WM_NULL, 0, 0);
        }
        DestroyMenu(menu);
    }

protected:
    CContextMenu() = default;
    ~CContextMenu() = default;
};
