// An item that holds other items: it owns its children, passes its host
// window on to them, draws them over its own background, shows and hides
// the real windows below it, and places them.
#pragma once

#include <memory>
#include <vector>

#include "skin/SkWindow.h"

class CSkContainerWnd : public CSkWindow {
public:
    ~CSkContainerWnd() override;

    void SetHostWindow(HWND hwnd) override;
    BOOL DrawInRegion(HDC hdc, HRGN region) override;

    // The descendant with that id, or null.
    virtual CSkWindow* FindItemById(UINT id) = 0;
    virtual void RepositionChildren() = 0;
    virtual void RepositionChild(CSkWindow* child) = 0;
    // Shows or hides the real windows hosted below the container.
    virtual void ShowRealWindows(BOOL show);

    // Sends SKM_DESTROY to every child, deletes it and empties the list.
    void DestroyChildren();
    void AppendChild(std::unique_ptr<CSkWindow> child);
    const std::vector<std::unique_ptr<CSkWindow>>& Children() const noexcept { return m_children; }

    // The children are drawn but the container answers every hit test.
    BOOL m_onlyDrawChild = FALSE;

private:
    std::vector<std::unique_ptr<CSkWindow>> m_children;
};

// The item as a container, or null when it is none.
CSkContainerWnd* AsContainer(CSkWindow* item);
