// Messages the browser containers send to the main window.
#pragma once

#include <windows.h>

// wParam: the characters of the link address (valid during the call); lParam 0.
// Sent with SendMarked as a block of kind kMenuLinkKind (base/MarkedSend.h): an
// address not in flight for the window is ignored.
constexpr UINT WM_MENU_NAVIGATE = 0x8103;
constexpr UINT kMenuLinkKind = 0x8103;
