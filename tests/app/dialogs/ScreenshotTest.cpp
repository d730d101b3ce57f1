// Photographs both pages of the settings dialog as the user sees them, and
// checks what the pictures show:
// <build>/settings-general.png and <build>/settings-download.png. Runs in a
// ctest entry that runs alone, so that no other window covers the dialog.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/app/dialogs/SetupFixture.h"
#include "tests/support/Picture.h"
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
        EXPECT_EQ(window.right - window.left, 523);
        EXPECT_EQ(window.bottom - window.top, 336);
        // Each picture shows the blue header band and, on it, a close
        // button that stands out.
        CSkWindow* close = dialog.m_view.FindItem(60001);
        ASSERT_NE(close, nullptr);
        auto photograph = [&](const wchar_t* name) {
            PaintNow(dialog.m_hWnd);
            CPicture picture;
            ASSERT_TRUE(TakeScreenPicture(window, picture)) << name;
            const COLORREF band = picture.At(4, 15);
            EXPECT_GT(GetBValue(band), GetRValue(band) + 60) << name << ": the header band is blue";
            EXPECT_GE(ContrastWithin(picture.Area(close->m_rect)), 3.0) << name << ": the close button";
            EXPECT_TRUE(SaveScreenArea(window, folder + L"/" + name));
        };
        photograph(L"settings-general.png");
        ClickTab(dialog, 1);
        photograph(L"settings-download.png");
        ClickItem(dialog, IDC_SETUP_CANCEL);
    });
}
