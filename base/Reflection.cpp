#include "base/Reflection.h"

#include "base/NotifyRecord.h"

namespace {

HWND ControlOf(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (msg) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY: {
        // Only a record this thread is sending now names its control: one of
        // ours to this window, or a control's of this window.
        const auto* hdr = OurNotifyRecord<NMHDR>(parent, lParam);
        if (!hdr)
            hdr = ControlNotifyHeader(parent, lParam);
        return hdr ? hdr->hwndFrom : nullptr;
    }
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
            return reinterpret_cast<HWND>(lParam);
        return GetDlgItem(parent, HIWORD(wParam));
    case WM_DRAWITEM:
        return wParam && lParam ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
        return wParam && lParam
                   ? GetDlgItem(parent, reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)
                   : nullptr;
    case WM_COMPAREITEM:
        return wParam && lParam ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return wParam && lParam ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

bool IsCtlColor(UINT msg) noexcept
{
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

} // namespace

BOOL ReflectNotifications(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept
{
    HWND control = ControlOf(parent, msg, wParam, lParam);
    if (!control || !IsWindow(control))
        return FALSE;
    const LRESULT answer = SendMessageW(control, kReflectedMessageBase + msg, wParam, lParam);
    if (IsCtlColor(msg) && !answer)
        return FALSE;
    result = answer;
    return TRUE;
}
