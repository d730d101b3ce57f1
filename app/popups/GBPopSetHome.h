// The set-home pop-up (layout 130) at the screen corner: "确定" sets the
// browser's start page to the web site's, "否" closes. Made with new; it
// frees itself once its window is gone.
#pragma once

#include <atomic>

#include "app/dialogs/PopupRelease.h"
#include "skin/SkDialogImpl.h"

class CGBPopSetHome : public CSkDialogImpl<CGBPopSetHome>, public CCornerPopup {
public:
    CGBPopSetHome();
    ~CGBPopSetHome() override;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Live objects of the class.
    static int LiveCount() { return s_live; }

protected:
    void OnFinalMessage(HWND hwnd) override;

private:
    BOOL OnSkinCommand(UINT itemId);

    static std::atomic<int> s_live;
};

// Opens the set-home pop-up at the screen corner.
void ShowSetHomePopup();
