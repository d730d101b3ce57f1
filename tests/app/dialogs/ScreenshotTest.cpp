// Photographs both pages of the settings dialog as the user sees them:
// <build>/settings-general.png and <build>/settings-download.png. Runs in a
// ctest entry that runs alone, so that no other window covers the dialog.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/app/dialogs/SetupFixture.h"
#include "tools/skinsample/Screenshot.h"

namespace {

// Lets the dialog and its real windows paint before the picture.
void PaintNow(HWND hwnd)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    GdiFlush();
}

} // namespace

TEST_F(SetupTest, PhotographBothPages)
{
    Store(L"DownLoad", L"Path", L"D:\\");
    Store(L"Common", L"UseHotKey", L"1");
    Store(L"Common", L"HotKey", L"Ctrl+Alt+H");
    Store(L"Common", L"HotKey_V", L"72");
    Store(L"Common", L"AlertDown", L"1");
    const CString folder = CString::FromUtf8(RAVONYX_SCREENSHOT_DIR);
    RunDialog([&](CGBSetup& dialog) {
        SetForegroundWindow(dialog.m_hWnd);
        RECT window;
        GetWindowRect(dialog.m_hWnd, &window);
        PaintNow(dialog.m_hWnd);
        EXPECT_TRUE(SaveScreenArea(window, folder + L"/settings-general.png"));
        ClickTab(dialog, 1);
        PaintNow(dialog.m_hWnd);
        EXPECT_TRUE(SaveScreenArea(window, folder + L"/settings-download.png"));
        ClickItem(dialog, IDC_SETUP_CANCEL);
    });
}
