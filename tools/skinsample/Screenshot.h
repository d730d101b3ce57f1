// Pictures of windows saved as PNG files through GDI+.
#pragma once

#include <windows.h>

// The part of the screen in rect (screen coordinates), as the user sees it.
BOOL SaveScreenArea(const RECT& rect, const wchar_t* path);

// What the window draws of itself when asked for WM_PRINT.
BOOL SavePrintedWindow(HWND hwnd, const wchar_t* path);
