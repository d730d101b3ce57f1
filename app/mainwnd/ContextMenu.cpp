#include "app/mainwnd/ContextMenu.h"

#include "base/AppModule.h"

int KeepMenuOnMonitor(int x, int y)
{
    const POINT point = {x, y};
    if (MonitorFromPoint(point, MONITOR_DEFAULTTONULL))
        return x;
    HMONITOR nearest = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!nearest || !GetMonitorInfoW(nearest, &info))
        return x;
    if (x < info.rcWork.left)
        return info.rcWork.left;
    if (x > info.rcWork.right)
        return info.rcWork.right;
    return x;
}

void TrackContextMenu(HWND owner, UINT menuId, const std::function<void(HMENU)>& prepare)
{
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
