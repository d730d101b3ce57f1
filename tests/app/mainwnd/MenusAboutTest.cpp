// The about dialog, the hot-key text, keeping a menu on a monitor, and the
// menus' commands for a window other than the main one.
#include <gtest/gtest.h>

#include "app/mainwnd/AboutDlg.h"
#include "app/mainwnd/ContextMenu.h"
#include "app/mainwnd/HotKey.h"
#include "app/mainwnd/MyIconMenu.h"
#include "app/mainwnd/SetupMenu.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunApplication.h"
#include "base/WindowClass.h"
#include "base/WindowImpl.h"
#include "tests/app/mainwnd/DialogAction.h"

TEST(AboutDialog, ShowsTheVersionAndClosesByItsButtons)
{
    static const bool started = [] {
        StartSkinLibrary();
        return true;
    }();
    (void)started;
    for (const wchar_t* version : {L"2.4.6.8", L""}) {
        for (UINT button : {IDC_ABOUT_OK, IDC_ABOUT_CLOSE}) {
            SCOPED_TRACE(testing::Message() << CString(version).ToUtf8() << " " << button);
            _Module.m_strVersion = version;
            CString shown = L"<none>";
            CString title;
            CDialogAction<CAboutDlg> action([&](CAboutDlg& about) {
                shown = about.m_view.FindItem(IDC_ABOUT_VERSION)->m_text;
                ASSERT_NE(about.m_view.FindItem(IDC_ABOUT_LOGO), nullptr);
                ClickItem(about, button);
            });
            CAboutDlg about;
            EXPECT_EQ(about.DoModal(), IDCANCEL);
            EXPECT_EQ(shown, version);
        }
    }
}

TEST(HotKeyText, ModifiersAndKeyName)
{
    struct Case {
        const wchar_t* text;
        UINT modifiers;
        const wchar_t* key;
    };
    const Case cases[] = {
        {L"Ctrl+Shift+[F5]", MOD_CONTROL | MOD_SHIFT, L"[F5]"},
        {L"Alt+7[Num]", MOD_ALT, L"7[Num]"},
        {L"Ctrl+Alt+Shift+A", MOD_CONTROL | MOD_ALT | MOD_SHIFT, L"A"},
        {L"ctrl+A", 0, L"A"}, // names are compared exactly
        {L"A+B", 0, L"B"},    // the last other piece wins
        {L"Ctrl+", MOD_CONTROL, L""},
        {L" ", 0, L" "},
        {L"", 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.text).ToUtf8());
        CString key = L"stale";
        EXPECT_EQ(HotKeyModifiersFromText(c.text, key), c.modifiers);
        EXPECT_EQ(key, c.key);
    }
    // Without a key name nothing is registered.
    EXPECT_FALSE(RegisterHotKeyFromText(nullptr, L"Ctrl+", 5, VK_F8));
    // The key is always the stored code.
    ASSERT_TRUE(RegisterHotKeyFromText(nullptr, L"Ctrl+Alt+[F7]", 5, VK_F8));
    EXPECT_FALSE(RegisterHotKey(nullptr, 6, MOD_CONTROL | MOD_ALT, VK_F8));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
    EXPECT_TRUE(UnregisterHotKey(nullptr, 5));
    // The atom gives the id.
    const int id = HotKeyId();
    EXPECT_EQ(id, static_cast<int>(GlobalFindAtomW(L"RavoltHotKey")) - 0xC000);
    EXPECT_GE(id, 0);
}

TEST(MenuPosition, KeptOnTheNearestMonitorsWorkArea)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT work = info.rcWork;
    const RECT screen = info.rcMonitor;
    struct Case {
        int x;
        int y;
        int expected;
    };
    const Case cases[] = {
        {screen.right + 50, 100, work.right}, // beyond the right edge
        {screen.left - 50, 100, work.left},   // beyond the left edge
        {100, 100, 100},                      // on the monitor
        {work.right - 1, 100, work.right - 1},
        {100, screen.bottom + 80, 100}, // below: x was inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(KeepMenuOnMonitor(c.x, c.y), c.expected);
    }
}

namespace {

// A window that owns the menus and counts the quits they ask for.
class CMenuOwnerWindow : public CWindowImpl, public IMenuOwner {
public:
    int quits = 0;

    HWND CreateTop()
    {
        static CWindowClass cls(0);
        return Create(cls, nullptr, RECT{0, 0, 200, 100}, L"menu owner", WS_POPUP);
    }
    HWND MenuWindow() const override { return m_hWnd; }
    void ConfirmQuit() override { ++quits; }

protected:
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { return FALSE; }
};

} // namespace

TEST(Menus, CommandsActOnTheirOwner)
{
    CMenuOwnerWindow owner;
    ASSERT_NE(owner.CreateTop(), nullptr);
    CMyIconMenu tray(owner);
    CSetupMenu main(owner);

    // "显示"/"隐藏" shows the owner, then hides it.
    EXPECT_TRUE(tray.OnTrayCommand(ID_TRAY_SHOW));
    EXPECT_TRUE(IsWindowVisible(owner.m_hWnd));
    EXPECT_TRUE(tray.OnTrayCommand(ID_TRAY_SHOW));
    EXPECT_FALSE(IsWindowVisible(owner.m_hWnd));

    // Both "退出" ask the owner; nothing else does, and each menu takes
    // only its own commands.
    EXPECT_TRUE(tray.OnTrayCommand(ID_TRAY_EXIT));
    EXPECT_EQ(owner.quits, 1);
    EXPECT_TRUE(main.OnMainMenuCommand(ID_MENU_EXIT));
    EXPECT_EQ(owner.quits, 2);
    for (UINT id : {ID_MENU_HOME, ID_MENU_ABOUT, ID_MENU_SETTINGS, ID_MENU_UPDATE, ID_MENU_EXIT, 0u})
        EXPECT_FALSE(tray.OnTrayCommand(id)) << id;
    for (UINT id : {ID_TRAY_SHOW, ID_TRAY_SETTINGS, ID_TRAY_HELP, ID_TRAY_EXIT, 0u})
        EXPECT_FALSE(main.OnMainMenuCommand(id)) << id;
    EXPECT_EQ(owner.quits, 2);
}
