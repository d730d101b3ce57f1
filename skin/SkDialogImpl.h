// The skin dialog template: a borderless top-level window whose whole area
// is client area, covered by one view that draws a layout read from an XML
// resource, run modally or not (skin/SkDialogImplBase.h). T is the dialog
// class, TFrame its frame: the round-rect outline by default, or
// CUiSizeableRoundRect<T> for a sizeable window.
//
//     class CAboutDlg : public CSkDialogImpl<CAboutDlg> {
//     public:
//         CAboutDlg() : CSkDialogImpl(IDR_ABOUT_LAYOUT) {}
//         BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
//                                   LRESULT& result) override
//         {
//             if (msg == WM_NOTIFY) if (const SkItemClickNotify* click = AsItemClick(hwnd, lParam)) { ... }
//             return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
//         }
//     };
//
// A dialog's own entries come first; the shared skin-dialog handling, then
// the frame's map, then notification reflection follow.
#pragma once

#include <windows.h>

#include "base/NotifyRecord.h"
#include "base/Reflection.h"
#include "base/WindowClass.h"
#include "skin/SkDialogImplBase.h"
#include "skin/SkRoundRectFrameHelper.h"

template <typename T, typename TFrame = CUiRoundRectFrameHelper<T>>
class CSkDialogImpl : public CSkDialogImplBase, public TFrame {
public:
    explicit CSkDialogImpl(UINT layoutId = 0) : CSkDialogImplBase(layoutId) {}

    // One window class per dialog class: background COLOR_WINDOW + 1, arrow cursor.
    static const CWindowClass& GetWndClassInfo()
    {
        static CWindowClass cls(SkinDialogClassStyle(), LoadCursorW(nullptr, IDC_ARROW),
                                reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
        return cls;
    }

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        if (ProcessSkinDialogMessage(hwnd, msg, wParam, lParam, result))
            return TRUE;
        if (TFrame::ProcessWindowMessage(hwnd, msg, wParam, lParam, result))
            return TRUE;
        return ReflectNotifications(hwnd, msg, wParam, lParam, result);
    }

protected:
    const CWindowClass& DialogWindowClass() const override { return GetWndClassInfo(); }
};

// The SKN_ITEM_CLICK record of a WM_NOTIFY to dialog from its view (or the
// dialog's own OK and Cancel), or null for any other notification. Only a
// record the skin is sending on this thread now to the dialog or its view is
// read; any other lParam (one posted or sent by another process, say, or one
// meant for another window) is not.
inline const SkItemClickNotify* AsItemClick(HWND dialog, LPARAM lParam)
{
    const auto* hdr = OurNotifyRecord<NMHDR>(dialog, lParam);
    if (!hdr || hdr->idFrom != IDC_SKIN_VIEW || hdr->code != SKN_ITEM_CLICK)
        return nullptr;
    return OurNotifyRecord<SkItemClickNotify>(dialog, lParam);
}

// The SKN_TAB_CHANGING record of a WM_NOTIFY to dialog from its view, or
// null; read as AsItemClick reads a click.
inline SkTabChangeNotify* AsTabChanging(HWND dialog, LPARAM lParam)
{
    const auto* hdr = OurNotifyRecord<NMHDR>(dialog, lParam);
    if (!hdr || hdr->idFrom != IDC_SKIN_VIEW || hdr->code != SKN_TAB_CHANGING)
        return nullptr;
    return OurNotifyRecord<SkTabChangeNotify>(dialog, lParam);
}
