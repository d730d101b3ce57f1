#include "skin/SkPanel.h"

#include <windowsx.h>

BOOL CSkPanel::HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case SKM_DESTROY:
        DestroyChildren();
        return TRUE;
    case SKM_PAINT:
        return TRUE;
    case SKM_SHOW:
        CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
        ShowRealWindows(static_cast<BOOL>(wParam));
        return TRUE;
    case SKM_MOUSEMOVE:
        ForwardMouseMove(wParam, lParam);
        return TRUE;
    default:
        return CSkWindow::HandleSkMessage(msg, wParam, lParam, result);
    }
}

void CSkPanel::ForwardMouseMove(WPARAM keys, LPARAM point)
{
    const POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    for (const auto& child : Children())
        if (!(child->m_state & SKS_HIDDEN) && PtInRect(&child->m_rect, p))
            child->SendSkMessage(SKM_MOUSEMOVE, keys, point);
}
