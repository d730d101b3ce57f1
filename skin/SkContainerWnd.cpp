#include "skin/SkContainerWnd.h"

#include "skin/SkAppliedTextStyle.h"
#include "skin/SkItemRelease.h"

CSkContainerWnd::~CSkContainerWnd()
{
    DestroyChildren();
}

void CSkContainerWnd::SetHostWindow(HWND hwnd)
{
    CSkWindow::SetHostWindow(hwnd);
    for (auto& child : m_children)
        child->SetHostWindow(hwnd);
}

BOOL CSkContainerWnd::DrawInRegion(HDC hdc, HRGN region)
{
    if (!CSkWindow::DrawInRegion(hdc, region))
        return FALSE;
    // Children without a font or colours of their own take the container's.
    CSkAppliedTextStyle inherited(*this, hdc);
    for (auto& child : m_children)
        if (!(child->m_state & SKS_HIDDEN))
            child->DrawInRegion(hdc, region);
    return TRUE;
}

void CSkContainerWnd::ShowRealWindows(BOOL show)
{
    const BOOL on = show && !IsHiddenInTree();
    for (auto& child : m_children) {
        const BOOL childOn = on && !(child->m_state & SKS_HIDDEN);
        if (child->MatchesTag("realwnd")) {
            if (HWND real = GetDlgItem(child->m_hostWindow, static_cast<int>(child->m_id)))
                ShowWindow(real, childOn ? SW_SHOW : SW_HIDE);
        } else if (child->MatchesTag("dlg") || child->MatchesTag("dlgfile") || child->MatchesTag("tabctrl")) {
            static_cast<CSkContainerWnd*>(child.get())->ShowRealWindows(childOn);
        }
    }
}

void CSkContainerWnd::DestroyChildren()
{
    // Taken out of the list first, so that nothing reaches a child while it goes.
    std::vector<std::unique_ptr<CSkWindow>> children;
    children.swap(m_children);
    for (auto& child : children)
        child->SendSkMessage(SKM_DESTROY);
    // A child may be in use further up the stack (it notified the owner
    // that is replacing it): it is freed once that use ends.
    ReleaseSkItems(std::move(children));
}

void CSkContainerWnd::AppendChild(std::unique_ptr<CSkWindow> child)
{
    m_children.push_back(std::move(child));
}

CSkContainerWnd* AsContainer(CSkWindow* item)
{
    return item && item->IsContainer() ? static_cast<CSkContainerWnd*>(item) : nullptr;
}
