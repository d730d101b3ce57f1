// Messages the browser containers send to the main window.
#pragma once

#include <windows.h>

// wParam: the characters of the link address (valid during the call); lParam 0.
constexpr UINT WM_MENU_NAVIGATE = 0x8103;
