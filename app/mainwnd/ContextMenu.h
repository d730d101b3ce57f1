// Showing a menu resource as a pop-up at the cursor, for the main window's
// tray menu and main menu. Commands come back as WM_COMMAND to the window.
#pragma once

#include <windows.h>

#include <functional>

// Keeps x on a monitor: a point that lies on no monitor has x moved into the
// nearest monitor's work area. y is never changed.
int KeepMenuOnMonitor(int x, int y);

// Shows sub-menu 0 of the menu resource at the cursor for the owner window,
// after prepare (when given) has changed it. Returns once the menu has closed.
void TrackContextMenu(HWND owner, UINT menuId, const std::function<void(HMENU)>& prepare = nullptr);
