// Advertising and news pop-ups and the wait for a network connection.
#pragma once

#include <windows.h>

#include "base/RefString.h"

// Waits for a connection, then sets g_bOnline and the report and pop-up
// timers of the main window. Runs on a thread of its own.
void WaitForNetworkThread();

// Arms the main window's pop-up timer of a kind (0 news, 1 minimise).
void ScheduleAdPopup(HWND mainWnd, int kind);

// Asks the web site for a pop-up; true with its size and page when one is due.
bool ParsePopupReply(const CString& url, int& width, int& height, CString& page);

// Shows a web pop-up of the size with the page, from its layout; kind 0
// news, 1 advertising.
void ShowWebPopup(int width, int height, const CString& page, UINT layoutId, int kind);
