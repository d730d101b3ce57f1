// What catalogue pages ask of the main window: open an item's page, go
// back, refresh, switch tabs, search, and fetch recommendations.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Asks the web site for the item's record and opens its page under the
// theme (tab 1) or wallpaper (tab 2) tab; failures are told in a box.
void OpenContentPage(HWND mainWnd, const CString& id, const CString& type);

// 1 back, 2 reload, 3 and 4 the theme and wallpaper tabs, 5 and 6 search
// themes and wallpapers for the keyword; other commands do nothing.
void ControlPageMove(HWND mainWnd, int command, const CString& keyword);

// The web site's recommendation list (HTML list items) of the type; a fixed
// network-error item when it cannot be had.
CString GetRecommendedContent(int type);
