// The running Ravonyx.exe from outside: the tray icon comes and goes with
// the hot key in Wine's system tray window, the tray menu opens and its
// first item hides the window, both menus quit, the start timer registers the hot
// key until the program ends, the window's size is kept between runs, the
// settings dialog opens once however often it is asked for, the browsers and
// the tray icon come after the start, and messages from this process with
// meaningless addresses leave every window of the program running and
// answering.
#include <gtest/gtest.h>

#include <vector>

#include "tests/app/startup/RavonyxProcess.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr UINT kTrayNotify = 0x4B4;
constexpr UINT kStartupTimer = 10;

int CountTrayIcons()
{
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    if (!tray || !IsWindowVisible(tray))
        return 0;
    int count = 0;
    for (HWND child = FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr); child;
         child = FindWindowExW(tray, child, L"__winex11_tray_icon", nullptr))
        ++count;
    return count;
}

HWND FindMenuWindow()
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// A right click on the icon opens the tray menu (the menu's texts are
// looked at in process: Wine keeps menus per process); it is closed again.
bool TrayMenuOpens(HWND main)
{
    PostMessageW(main, kTrayNotify, 101, WM_RBUTTONUP);
    HWND menuWindow = nullptr;
    if (!WaitUntil([&] { return (menuWindow = FindMenuWindow()) != nullptr; }))
        return false;
    PostMessageW(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(main, WM_CANCELMODE, 0, 0);
    return WaitUntil([] { return FindMenuWindow() == nullptr; });
}

bool HotKeyFree(UINT modifiers, UINT vk)
{
    if (!RegisterHotKey(nullptr, 0x55, modifiers, vk))
        return false;
    UnregisterHotKey(nullptr, 0x55);
    return true;
}

// The page areas (controls 114 and 115) of the main window that hold a
// browser control (control 6 with the control's "Shell Embedding" window).
int PageAreasWithABrowser(HWND main)
{
    int found = 0;
    EnumChildWindows(
        main,
        [](HWND child, LPARAM param) -> BOOL {
            const int id = GetDlgCtrlID(GetParent(child));
            if (GetDlgCtrlID(child) == 6 && (id == 114 || id == 115) &&
                FindWindowExW(child, nullptr, L"Shell Embedding", nullptr))
                ++*reinterpret_cast<int*>(param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

SIZE WindowSize(HWND hwnd)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

TEST(RunningProgram, TrayIconHotKeyAndTrayMenu)
{
    CProgramCopy program;
    const int before = CountTrayIcons();
    CRavonyxRun run(program.Exe(), L"");
    HWND main = run.WaitForMainWindow(kTimeoutMs);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return CountTrayIcons() == before + 1; })) << "the icon is added";
    EXPECT_TRUE(TrayMenuOpens(main));

    // The hot key hides the window and takes the icon away, and brings both back.
    PostMessageW(main, WM_HOTKEY, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main) && CountTrayIcons() == before; }));
    EXPECT_TRUE(TrayMenuOpens(main)) << "the icon's messages are still taken";
    PostMessageW(main, WM_HOTKEY, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && CountTrayIcons() == before + 1; }));

    // The menu's first item hides the window; a click on the icon shows it.
    PostMessageW(main, WM_COMMAND, 40011, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    PostMessageW(main, kTrayNotify, 101, WM_LBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));

    // "退出" of the tray menu ends the program (no download runs).
    PostMessageW(main, WM_COMMAND, 40009, 0);
    EXPECT_EQ(run.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(WaitUntil([&] { return CountTrayIcons() == before; }));
}

// The browser controls and the tray icon come after the window's first
// paint, also to a start from the Run value that stays hidden.
TEST(RunningProgram, BrowsersAndTrayIconComeAfterTheStart)
{
    for (const wchar_t* arguments : {L"", L"-autorun"}) {
        SCOPED_TRACE(*arguments ? "hidden start" : "normal start");
        CProgramCopy program;
        const int before = CountTrayIcons();
        CRavonyxRun run(program.Exe(), arguments);
        ASSERT_TRUE(run.Started());
        HWND main = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (main = run.FindMainWindow()) != nullptr; }, kTimeoutMs));
        EXPECT_TRUE(WaitUntil([&] { return CountTrayIcons() == before + 1; })) << "the icon is added";
        EXPECT_TRUE(WaitUntil([&] { return PageAreasWithABrowser(main) == 2; })) << "both browsers are made";
        EXPECT_EQ(IsWindowVisible(main) != FALSE, *arguments == L'\0');
        EXPECT_EQ(run.CloseMainWindow(), 0u);
    }
}

TEST(RunningProgram, MainMenuQuitsAndTheStartTimerRegistersTheHotKey)
{
    CProgramCopy program;
    program.SetSetting(L"Common", L"UseHotKey", L"1");
    program.SetSetting(L"Common", L"HotKey", L"Ctrl+Alt+[F9]");
    program.SetSetting(L"Common", L"HotKey_V", L"120"); // VK_F9
    ASSERT_TRUE(HotKeyFree(MOD_CONTROL | MOD_ALT, VK_F9));
    CRavonyxRun run(program.Exe(), L"");
    HWND main = run.WaitForMainWindow(kTimeoutMs);
    ASSERT_NE(main, nullptr);
    // Sent, not posted: the probe below takes the key for a moment, and one
    // taken while the program registers it would make the program's attempt fail.
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(main, WM_TIMER, kStartupTimer, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &answer),
              0);
    EXPECT_FALSE(HotKeyFree(MOD_CONTROL | MOD_ALT, VK_F9)) << "registered";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
    PostMessageW(main, WM_COMMAND, 40019, 0); // "退出" of the main menu
    EXPECT_EQ(run.WaitForExit(kTimeoutMs), 0u);
    EXPECT_TRUE(HotKeyFree(MOD_CONTROL | MOD_ALT, VK_F9)) << "given back at the end";
}

TEST(RunningProgram, TheWindowSizeIsKeptBetweenRuns)
{
    CProgramCopy program;
    {
        CRavonyxRun run(program.Exe(), L"");
        HWND main = run.WaitForMainWindow(kTimeoutMs);
        ASSERT_NE(main, nullptr);
        const SIZE layout = WindowSize(main);
        EXPECT_EQ(layout.cx, 960);
        EXPECT_EQ(layout.cy, 660);
        SetWindowPos(main, nullptr, 30, 30, 1010, 710, SWP_NOZORDER | SWP_NOACTIVATE);
        // Quit while minimised: the size it comes back to is stored.
        ShowWindow(main, SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
        EXPECT_EQ(run.CloseMainWindow(), 0u);
    }
    EXPECT_EQ(program.Setting(L"ProXYSet", L"Height"), L"710");
    EXPECT_EQ(program.Setting(L"ProXYSet", L"Width"), L"1010");
    {
        CRavonyxRun run(program.Exe(), L"");
        HWND main = run.WaitForMainWindow(kTimeoutMs);
        ASSERT_NE(main, nullptr);
        const SIZE size = WindowSize(main);
        EXPECT_EQ(size.cx, 1010);
        EXPECT_EQ(size.cy, 710);
        EXPECT_EQ(run.CloseMainWindow(), 0u);
    }
    program.SetSetting(L"ProXYSet", L"Height", L"500");
    {
        CRavonyxRun run(program.Exe(), L"");
        HWND main = run.WaitForMainWindow(kTimeoutMs);
        ASSERT_NE(main, nullptr);
        const SIZE size = WindowSize(main);
        EXPECT_EQ(size.cx, 960) << "a saved size below the layout's is ignored";
        EXPECT_EQ(size.cy, 660);
        EXPECT_EQ(run.CloseMainWindow(), 0u);
    }
}

// The private messages whose wParam is an address, from another process:
// a small number, an address that is readable in the program (its image),
// and garbage. Each window ignores them and answers 0; the program goes on.
TEST(RunningProgram, AddressesFromAnotherProcessAreIgnoredByEveryWindow)
{
    CProgramCopy program;
    CRavonyxRun run(program.Exe(), L"");
    HWND main = run.WaitForMainWindow(kTimeoutMs);
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> windows = ProgramWindows(run.ProcessId());
    ASSERT_GT(windows.size(), 1u) << "the main window and its page areas";

    const WPARAM image = static_cast<WPARAM>(GetWindowLongPtrW(main, GWLP_HINSTANCE));
    ASSERT_NE(image, 0u);
    const WPARAM addresses[] = {0x10, image, image + 0x1000, static_cast<WPARAM>(0xDEADBEEF),
                                ~static_cast<WPARAM>(0xF)};
    const UINT messages[] = {0x8103, 0x8104, 0x8105, 0x8107, 0x8108, 0x810B};
    for (HWND hwnd : windows) {
        for (UINT msg : messages) {
            for (WPARAM address : addresses) {
                SCOPED_TRACE(testing::Message()
                             << std::hex << "window " << hwnd << " message " << msg << " wParam " << address);
                DWORD_PTR answer = 1;
                ASSERT_NE(SendMessageTimeoutW(hwnd, msg, address, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
                    << "the window answers";
                EXPECT_EQ(answer, 0u);
                PostMessageW(hwnd, msg, address, 0);
            }
        }
    }
    // The posts are taken in order: once the hot key that follows them has
    // hidden the window, every one of them has been handled.
    PostMessageW(main, WM_HOTKEY, 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    ASSERT_EQ(run.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program still runs";
    for (HWND hwnd : windows)
        EXPECT_TRUE(Answers(hwnd)) << hwnd;
    // And it still does its work: a tab page of a tab below 1 is refused.
    EXPECT_EQ(SendMessageW(main, 0x810F, 0, 3), 1);
    EXPECT_EQ(run.CloseMainWindow(), 0u);
}

TEST(RunningProgram, TheTrayOpensOneSettingsDialogAtATime)
{
    constexpr UINT kTraySettings = 40013;
    const wchar_t kSettingsTitle[] = L"设置面板";
    CProgramCopy program;
    CRavonyxRun run(program.Exe(), L"");
    HWND main = run.WaitForMainWindow(kTimeoutMs);
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_COMMAND, kTraySettings, 0); // runs the dialog's modal loop
    ASSERT_TRUE(WaitUntil([&] { return WindowsTitled(run.ProcessId(), kSettingsTitle).size() == 1; }));
    HWND settings = WindowsTitled(run.ProcessId(), kSettingsTitle)[0];

    // Asked again, from the tray while the window is hidden behind it: the
    // command returns at once, with the open dialog brought forward.
    ShowWindow(main, SW_HIDE);
    DWORD_PTR result = 0;
    EXPECT_NE(0, SendMessageTimeoutW(main, WM_COMMAND, kTraySettings, 0, SMTO_NORMAL, 5000, &result))
        << "a second modal loop runs";
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(WindowsTitled(run.ProcessId(), kSettingsTitle), std::vector<HWND>{settings});
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == settings; }));

    // Closed, it can be opened again.
    PostMessageW(settings, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowsTitled(run.ProcessId(), kSettingsTitle).empty(); }));
    PostMessageW(main, WM_COMMAND, kTraySettings, 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowsTitled(run.ProcessId(), kSettingsTitle).size() == 1; }));
    PostMessageW(WindowsTitled(run.ProcessId(), kSettingsTitle)[0], WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowsTitled(run.ProcessId(), kSettingsTitle).empty(); }));
    EXPECT_EQ(run.CloseMainWindow(), 0u);
}
