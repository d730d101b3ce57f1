// The download-finished pop-up (layout 131) at the screen corner: tells
// that a theme is ready, applies it at once or switches the notice off.
// Made with new; it frees itself once its window is gone.
#pragma once

#include <atomic>

#include "app/dialogs/PopupRelease.h"
#include "base/RefString.h"
#include "skin/SkDialogImpl.h"

class CGBPopups : public CSkDialogImpl<CGBPopups>, public CCornerPopup {
public:
    // The item is kept only when the name is not empty and gid > 0.
    CGBPopups(const CString& name, int gid, int kind);
    ~CGBPopups() override;

    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Live objects of the class.
    static int LiveCount() { return s_live; }

    CString m_name;
    int m_gid = 0;
    int m_kind = 0;

protected:
    void OnFinalMessage(HWND hwnd) override;

private:
    BOOL OnSkinCommand(UINT itemId);
    void ShowFinishedText();
    void SaveAlertSetting();

    static std::atomic<int> s_live;
};

// Opens a download-finished pop-up for the item at the screen corner.
void ShowDownloadFinishedPopup(const CString& name, int itemId, int kind);
