#include "app/popups/GBPopSetHome.h"

#include "app/dialogs/PopupRelease.h"
#include "app/stats/StartPage.h"
#include "skin/SkNotify.h"

std::atomic<int> CGBPopSetHome::s_live{0};

namespace {
constexpr UINT kYesButton = 60005;
constexpr UINT kNoButton = 60006;
} // namespace

CGBPopSetHome::CGBPopSetHome() : CSkDialogImpl(kSetHomePopupLayout)
{
    ++s_live;
}

CGBPopSetHome::~CGBPopSetHome()
{
    --s_live;
}

BOOL CGBPopSetHome::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_NOTIFY) {
        if (const SkItemClickNotify* click = AsItemClick(hwnd, lParam)) {
            if (OnSkinCommand(click->itemId)) {
                result = 0;
                return TRUE;
            }
        }
    }
    return CSkDialogImpl::ProcessWindowMessage(hwnd, msg, wParam, lParam, result);
}

BOOL CGBPopSetHome::OnSkinCommand(UINT itemId)
{
    switch (itemId) {
    case kYesButton:
        // The page is written once the web site has answered; the pop-up
        // goes at once.
        ApplyStartPageInBackground();
        ::DestroyWindow(m_hWnd);
        return TRUE;
    case kNoButton:
        ::DestroyWindow(m_hWnd);
        return TRUE;
    default:
        return FALSE;
    }
}

void CGBPopSetHome::OnFinalMessage(HWND)
{
    ReleaseOwnedPopup(this);
}

void ShowSetHomePopup()
{
    ShowPopupAtCorner(std::make_unique<CGBPopSetHome>());
}
