#include "skin/SkRealWnd.h"

#include "base/NotifyRecord.h"
#include "skin/SkNotify.h"

BOOL CSkRealWnd::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_PAINT:
        return TRUE;
    case SKM_DESTROY:
        if (HWND real = RealWindow())
            ShowWindow(real, SW_HIDE);
        return TRUE;
    case SKM_SHOW:
        Show(static_cast<BOOL>(wParam));
        return TRUE;
    case SKM_PLACE:
        MoveRealWindow(*reinterpret_cast<const WINDOWPOS*>(lParam));
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

HWND CSkRealWnd::RealWindow() const
{
    return m_hostWindow ? GetDlgItem(m_hostWindow, static_cast<int>(m_id)) : nullptr;
}

void CSkRealWnd::Show(BOOL show)
{
    HWND real = RealWindow();
    if (!show) {
        m_state |= SKS_HIDDEN;
        if (real)
            ShowWindow(real, SW_HIDE);
        return;
    }
    m_state &= ~SKS_HIDDEN;
    const CSkWindow* parent = Parent();
    if (parent && parent->IsHiddenInTree())
        return; // shown with its panel later
    if (real)
        ShowWindow(real, SW_SHOW);
}

void CSkRealWnd::MoveRealWindow(const WINDOWPOS& place)
{
    const RECT old = m_rect;
    PlaceItem(place);
    if (EqualRect(&old, &m_rect))
        return;
    HWND real = RealWindow();
    if (real)
        SetWindowPos(real, nullptr, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                     m_rect.bottom - m_rect.top, SWP_NOREDRAW);
    NotifyMoved();
    if (real && IsWindowVisible(real)) {
        InvalidateRect(real, nullptr, TRUE);
        SetWindowPos(real, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
}

void CSkRealWnd::NotifyMoved() const
{
    if (!m_hostWindow || !IsWindow(m_hostWindow))
        return;
    const int viewId = GetDlgCtrlID(m_hostWindow);
    SkRealWndMovedNotify notify = {};
    notify.hdr.hwndFrom = m_hostWindow;
    notify.hdr.idFrom = static_cast<UINT_PTR>(viewId);
    notify.hdr.code = SKN_REALWND_MOVED;
    notify.itemId = m_id;
    notify.rect = m_rect;
    SendNotifyRecord(m_hostWindow, static_cast<WPARAM>(viewId), notify);
}
