// The frame of a sizeable skin dialog (the main window): the round-rect
// outline, resizing from a 5-pixel border, dragging by the body's
// background, maximise and restore on a double click there, the matching
// cursors, and a smallest window size.
//
// The view passes its button presses, double clicks and WM_SETCURSOR to
// the dialog when the layout has "resize"; it covers the client area from
// (0, 0), so their points are the dialog's client coordinates. T is the
// dialog class (m_hWnd and its view m_view).
#pragma once

#include <windows.h>

#include "skin/SkFrameGeometry.h"
#include "skin/SkItemRegistry.h"
#include "skin/SkRoundRectFrameHelper.h"
#include "skin/SkWindow.h"

template <typename T> class CUiSizeableRoundRect : public CUiRoundRectFrameHelper<T> {
public:
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
    {
        switch (msg) {
        case WM_SIZE:
            return CUiRoundRectFrameHelper<T>::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
        case WM_SETCURSOR:
            OnSetCursor();
            result = TRUE;
            return TRUE;
        case WM_LBUTTONDOWN:
            OnLButtonDown(POINT{FramePointX(lParam), FramePointY(lParam)});
            result = 0;
            return TRUE;
        case WM_LBUTTONDBLCLK:
            OnLButtonDblClk(POINT{FramePointX(lParam), FramePointY(lParam)});
            result = 0;
            return TRUE;
        case WM_SIZING:
            ApplyFrameMinimumSize(*reinterpret_cast<RECT*>(lParam));
            result = TRUE;
            return TRUE;
        default:
            return FALSE;
        }
    }

    // A press on the border sizes the window; one on the body's background
    // (or on any body item that takes no clicks) moves it, unless the
    // window is minimised or maximised. A press that became the system's
    // move or size loop ends there: the view is told, so it never turns
    // into a click.
    void OnLButtonDown(POINT point)
    {
        T& dialog = Dialog();
        UINT command = FrameZoneCommand(point, this->m_cx, this->m_cy);
        if (!command) {
            CSkWindow* item = BodyItemAt(point);
            if (!item || item->HandlesClicks() || IsMinimisedOrMaximised())
                return;
            command = SC_MOVE | HTCAPTION;
        }
        SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, command, 0);
        dialog.m_view.CancelPress();
        PostMessageW(dialog.m_view.m_hWnd, WM_LBUTTONUP, 0, 0);
    }

    void OnLButtonDblClk(POINT point)
    {
        T& dialog = Dialog();
        CSkWindow* item = BodyItemAt(point);
        if (!item || item->HandlesClicks() || !dialog.m_view.m_maximisable)
            return;
        const WPARAM command = IsZoomed(dialog.m_hWnd) ? (SC_RESTORE | HTCAPTION) : (SC_MAXIMIZE | HTCAPTION);
        SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, command, 0);
    }

    void OnSetCursor()
    {
        T& dialog = Dialog();
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(dialog.m_hWnd, &point);
        if (LPCWSTR cursor = FrameZoneCursor(point, this->m_cx, this->m_cy)) {
            SetCursor(LoadCursorW(nullptr, cursor));
            return;
        }
        const UINT hover = dialog.m_view.m_hoverHandle;
        CSkWindow* item = hover ? FindSkWindow(hover) : nullptr;
        if (item && !item->IsDisabledInTree())
            item->UpdateCursor();
        else
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }

protected:
    CUiSizeableRoundRect() = default;
    ~CUiSizeableRoundRect() = default;

private:
    T& Dialog() { return *static_cast<T*>(this); }

    CSkWindow* BodyItemAt(POINT point)
    {
        if (!Dialog().m_view.m_bodyPresent)
            return nullptr;
        const UINT hit = Dialog().m_view.m_body.HitTest(point);
        return hit ? FindSkWindow(hit) : nullptr;
    }

    bool IsMinimisedOrMaximised()
    {
        return (GetWindowLongPtrW(Dialog().m_hWnd, GWL_STYLE) & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
    }
};
