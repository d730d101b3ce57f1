// Notification reflection: a parent hands the notifications of a child
// control back to that child, as message kReflectedMessageBase + the
// original number (0x2000 + WM_NOTIFY, 0x2000 + WM_DRAWITEM, ...), with the
// same wParam and lParam, so the control's own object can handle them.
#pragma once

#include <windows.h>

constexpr UINT kReflectedMessageBase = 0x2000;

// Reflects WM_COMMAND (to the control in lParam), WM_NOTIFY (to hwndFrom),
// WM_PARENTNOTIFY (create and destroy: to the child in lParam; others: to
// the child whose id is the high word of wParam), WM_DRAWITEM,
// WM_MEASUREITEM (by control id), WM_COMPAREITEM and WM_DELETEITEM (only
// with wParam nonzero), WM_VKEYTOITEM, WM_CHARTOITEM, WM_HSCROLL,
// WM_VSCROLL and the WM_CTLCOLOR messages (to the control in lParam).
// TRUE when the message went to a child (result = its answer); a WM_CTLCOLOR
// message counts only when the child answered with a brush.
BOOL ReflectNotifications(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
