// Messages the browser containers send to the main window.
#pragma once

#include <windows.h>

// wParam: the characters of the link address (valid during the call); lParam 0.
// Sent with SendMarked under kMenuLinkMark (base/MarkedSend.h): an address the
// window was not marked for is ignored.
constexpr UINT WM_MENU_NAVIGATE = 0x8103;
constexpr wchar_t kMenuLinkMark[] = L"Ravonyx.MenuLink";
