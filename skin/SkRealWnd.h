// The "realwnd" item: stands for a real child window of the view, the one
// whose control id equals the item's id. The owner makes that window; the
// item moves, shows and hides it with the layout, hides it when the item
// goes, and never draws.
#pragma once

#include "skin/SkWindow.h"

class CSkRealWnd : public CSkWindow {
public:
    const char* TagName() const override { return "realwnd"; }
    BOOL RedrawsOnStateChange() override { return FALSE; }
    BOOL HandleSkMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The hosted window, or null when there is none (yet).
    HWND RealWindow() const;
    // Places the item; when its rectangle changed, moves the window there and
    // tells the view (SKN_REALWND_MOVED).
    void MoveRealWindow(const WINDOWPOS& place);

private:
    void Show(BOOL show);
    void NotifyMoved() const;
};
