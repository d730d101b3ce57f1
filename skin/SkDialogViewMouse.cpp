// The view's mouse handling: hover and leave, press and click, double
// click and cursor.
#include "skin/SkDialogView.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "base/NotifyRecord.h"
#include "skin/SkItemRegistry.h"

namespace {

POINT PointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

bool IsMinimisedOrMaximised(HWND hwnd)
{
    return (GetWindowLongPtrW(hwnd, GWL_STYLE) & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
}

// An item that takes clicks itself (buttons, links, tab controls ...) is
// never the handle of a caption drag.
bool StartsCaptionDrag(const CSkWindow* item)
{
    return item && !item->HandlesClicks();
}

} // namespace

void CSkDialogView::RelayToTooltip(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_tooltip)
        return;
    MSG relayed = {m_hWnd, msg, wParam, lParam};
    SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

UINT CSkDialogView::HitTestPanels(POINT point)
{
    if (m_headerPresent)
        if (UINT hit = m_header.HitTest(point))
            return hit;
    if (m_bodyPresent)
        if (UINT hit = m_body.HitTest(point))
            return hit;
    if (m_footerPresent)
        if (UINT hit = m_footer.HitTest(point))
            return hit;
    return 0;
}

void CSkDialogView::OnMouseMove(WPARAM keys, LPARAM lParam)
{
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_tracking = TrackMouseEvent(&track);
        Notify(SKN_VIEW_HOVER);
    }

    const UINT handle = HitTestPanels(PointOf(lParam));
    CSkWindow* item = handle ? FindSkWindow(handle) : nullptr;
    if (!item)
        return;
    const BOOL disabled = item->IsDisabledInTree();
    if (!disabled)
        item->SendSkMessage(SKM_MOUSEMOVE, keys, lParam);
    if (handle == m_hoverHandle)
        return;

    CSkWindow* old = m_hoverHandle ? FindSkWindow(m_hoverHandle) : nullptr;
    if (old && !old->IsDisabledInTree()) {
        ModifyItemState(old, 0, SKS_HOVER);
        old->SendSkMessage(SKM_MOUSELEAVE);
    }
    // A disabled item becomes the hover item without the hover bit, so that
    // its tip still shows.
    if (!disabled)
        ModifyItemState(item, SKS_HOVER, 0);
    m_hoverHandle = handle;
    SetTipText(item->m_tip);
}

void CSkDialogView::OnMouseLeave()
{
    m_tracking = FALSE;
    if (CSkWindow* hover = m_hoverHandle ? FindSkWindow(m_hoverHandle) : nullptr) {
        ModifyItemState(hover, 0, SKS_HOVER);
        hover->SendSkMessage(SKM_MOUSELEAVE);
    }
    m_hoverHandle = 0;
    ClearPushed();
    Notify(SKN_VIEW_LEAVE);
}

void CSkDialogView::ClearPushed()
{
    if (CSkWindow* pushed = m_pushedHandle ? FindSkWindow(m_pushedHandle) : nullptr)
        ModifyItemState(pushed, 0, SKS_PUSHED);
    m_pushedHandle = 0;
}

void CSkDialogView::ReleaseViewCapture()
{
    if (m_capture && GetCapture() == m_hWnd)
        ReleaseCapture();
    m_capture = FALSE;
}

void CSkDialogView::CancelPress()
{
    m_pressCancelled = TRUE;
    ReleaseViewCapture();
    ClearPushed();
}

void CSkDialogView::OnLButtonDown(WPARAM keys, LPARAM lParam)
{
    HWND parent = GetParent(m_hWnd);
    m_pressCancelled = FALSE;
    if (ForwardsMouseToParent()) {
        // The frame sizes or moves the window from this press.
        SendMessageW(parent, WM_LBUTTONDOWN, keys, lParam);
        if (m_pressCancelled)
            return;
    }

    const POINT point = PointOf(lParam);
    CSkWindow* item = nullptr;
    if (UINT hit = m_headerPresent ? m_header.HitTest(point) : 0) {
        item = FindSkWindow(hit);
        if (StartsCaptionDrag(item)) {
            if (!IsMinimisedOrMaximised(parent))
                SendMessageW(parent, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
            return;
        }
    } else {
        UINT below = m_bodyPresent ? m_body.HitTest(point) : 0;
        if (!below && m_footerPresent)
            below = m_footer.HitTest(point);
        item = below ? FindSkWindow(below) : nullptr;
    }
    if (!item || item->IsDisabledInTree() || m_capture)
        return;

    SetCapture(m_hWnd);
    m_capture = TRUE;
    m_hoverHandle = m_pushedHandle = item->m_handle;
    ModifyItemState(item, SKS_PUSHED, 0);
    item->SendSkMessage(SKM_LBUTTONDOWN, keys, lParam);
}

void CSkDialogView::OnLButtonUp(WPARAM keys, LPARAM lParam)
{
    if (ForwardsMouseToParent())
        SendMessageW(GetParent(m_hWnd), WM_LBUTTONUP, keys, lParam);
    ReleaseViewCapture();

    const UINT pushedHandle = m_pushedHandle;
    CSkWindow* pushed = pushedHandle ? FindSkWindow(pushedHandle) : nullptr;
    UINT clickedId = 0;
    const char* clickedClass = nullptr;
    if (pushed) {
        ModifyItemState(pushed, 0, SKS_PUSHED);
        if (pushedHandle == m_hoverHandle) {
            pushed->SendSkMessage(SKM_LBUTTONUP, keys, lParam);
            // The item may have gone while it handled the button-up.
            if ((pushed = FindSkWindow(pushedHandle)) != nullptr) {
                if (!pushed->m_href.IsEmpty()) {
                    ShellExecuteW(m_hWnd, L"open", pushed->m_href, nullptr, nullptr, SW_SHOWNORMAL);
                } else if (pushed->m_id) {
                    clickedId = pushed->m_id;
                    clickedClass = pushed->TagName();
                }
            }
        }
    }
    m_pushedHandle = 0;
    if (!clickedClass)
        return;
    SkItemClickNotify click = {};
    click.hdr = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID(m_hWnd)), SKN_ITEM_CLICK};
    click.itemId = clickedId;
    click.itemClass = clickedClass;
    SendNotifyRecord(GetParent(m_hWnd), click.hdr.idFrom, click);
}

void CSkDialogView::OnLButtonDblClk(WPARAM keys, LPARAM lParam)
{
    HWND parent = GetParent(m_hWnd);
    if (ForwardsMouseToParent())
        SendMessageW(parent, WM_LBUTTONDBLCLK, keys, lParam);
    UINT hit = m_headerPresent ? m_header.HitTest(PointOf(lParam)) : 0;
    CSkWindow* item = hit ? FindSkWindow(hit) : nullptr;
    if (!StartsCaptionDrag(item) || !m_maximisable)
        return;
    const WPARAM command = IsZoomed(parent) ? (SC_RESTORE | HTCAPTION) : (SC_MAXIMIZE | HTCAPTION);
    SendMessageW(parent, WM_SYSCOMMAND, command, 0);
}

BOOL CSkDialogView::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (ForwardsMouseToParent() && SendMessageW(GetParent(m_hWnd), WM_SETCURSOR, wParam, lParam))
        return TRUE;
    CSkWindow* hover = m_hoverHandle ? FindSkWindow(m_hoverHandle) : nullptr;
    if (hover && !hover->IsDisabledInTree())
        hover->UpdateCursor();
    else
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}
