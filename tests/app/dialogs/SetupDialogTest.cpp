// The settings dialog: what it shows from the file, closing without saving,
// saving each setting with its effect, and the boss key.

#include <windows.h>

#include <gtest/gtest.h>

#include "app/mainwnd/HotKey.h"
#include "app/startup/CorvaneModule.h"
#include "app/startup/RunValue.h"
#include "tests/app/dialogs/SetupFixture.h"

namespace {

CString ComboText(CGBSetup& dialog, HWND combo)
{
    (void)dialog;
    wchar_t text[32] = {};
    GetWindowTextW(combo, text, 32);
    return text;
}

// A hot key is registered when another window cannot take the same one.
bool HotKeyTaken(UINT modifiers, UINT vk)
{
    HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const BOOL free = RegisterHotKey(probe, 0x3FFF, modifiers, vk);
    const DWORD error = GetLastError();
    if (free)
        UnregisterHotKey(probe, 0x3FFF);
    DestroyWindow(probe);
    return !free && error == ERROR_HOTKEY_ALREADY_REGISTERED;
}

CString RunValue()
{
    CString value;
    return ReadHklmString(kRunKey, kRunValueName, value) == 0 ? value : CString(L"<none>");
}

} // namespace

TEST_F(SetupTest, ShowsTheStoredValuesAndClosingWritesNothing)
{
    struct Setting {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    struct Case {
        const char* name;
        std::vector<Setting> stored;
        const wchar_t* path;
        const wchar_t* task;
        const wchar_t* thread;
        std::vector<UINT> checked; // of 106, 11008, 11009, 11010, 11011, 11012, 11013, 11014
        const wchar_t* hotKey;
        int close; // item clicked, or 0 for WM_CLOSE
    };
    const Case cases[] = {
        {"empty file", {}, L"", L"2", L"3", {11008, 11011, 11013, 11014}, L"", IDC_SETUP_CANCEL},
        // The installed file's defaults: HotKey "0" without a key code is no key.
        {"fresh install",
         {{L"Common", L"UseHotKey", L"0"}, {L"Common", L"HotKey", L"0"}, {L"Common", L"HotKey_V", L"0"}},
         L"",
         L"2",
         L"3",
         {11008, 11011, 11013, 11014},
         L"",
         IDC_SETUP_CANCEL},
        {"boss key turned off",
         {{L"Common", L"UseHotKey", L"0"}, {L"Common", L"HotKey", L" "}, {L"Common", L"HotKey_V", L"75"}},
         L"",
         L"2",
         L"3",
         {11008, 11011, 11013, 11014},
         L"",
         IDC_SETUP_CANCEL},
        {"out of range",
         {{L"DownLoad", L"Task", L"0"}, {L"DownLoad", L"Thread", L"9"}, {L"Common", L"MinOrClose", L"0"}},
         L"",
         L"2",
         L"2",
         {11008, 11012, 11013, 11014},
         L"",
         IDC_SETUP_CLOSE},
        {"every value",
         {{L"DownLoad", L"Path", L"C:\\下载"},
          {L"DownLoad", L"Task", L"10"},
          {L"DownLoad", L"Thread", L"5"},
          {L"DownLoad", L"AutoDown", L"1"},
          {L"Common", L"AutoStart", L"0"},
          {L"Common", L"UseHotKey", L"1"},
          {L"Common", L"HotKey", L"Ctrl+Alt+K"},
          {L"Common", L"HotKey_V", L"75"},
          {L"Common", L"AlertDown", L"1"},
          {L"Common", L"MinOrClose", L"1"},
          {L"Common", L"Subscription", L"0"},
          {L"Common", L"ReceiveAd", L"0"}},
         L"C:\\下载",
         L"10",
         L"5",
         {106, 11009, 11010, 11011},
         L"Ctrl+Alt+K",
         0},
        {"task 11, stored zeros",
         {{L"DownLoad", L"Task", L"11"}, {L"Common", L"AutoStart", L"2"}, {L"Common", L"Subscription", L"0"}},
         L"",
         L"2",
         L"3",
         {11011, 11014},
         L"",
         IDC_SETUP_CANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(Ini(), "");
        for (const Setting& s : c.stored)
            Store(s.section, s.key, s.value);
        const std::string before = IniBytes();
        const int code = RunDialog([&](CGBSetup& dialog) {
            HWND view = dialog.m_view.m_hWnd;
            EXPECT_EQ(dialog.m_pathEdit, GetDlgItem(view, IDC_SETUP_PATH));
            EXPECT_EQ(dialog.m_hotKeyEdit.m_hWnd, GetDlgItem(view, IDC_SETUP_HOTKEY));
            EXPECT_EQ(CString(c.path), TextOf(dialog.m_pathEdit));
            EXPECT_EQ(CString(c.hotKey), TextOf(dialog.m_hotKeyEdit.m_hWnd));
            EXPECT_EQ(CString(c.task), ComboText(dialog, dialog.m_taskCombo));
            EXPECT_EQ(CString(c.thread), ComboText(dialog, dialog.m_threadCombo));
            EXPECT_EQ(10, SendMessageW(dialog.m_taskCombo, CB_GETCOUNT, 0, 0));
            EXPECT_EQ(5, SendMessageW(dialog.m_threadCombo, CB_GETCOUNT, 0, 0));
            for (UINT id : {106u, 11008u, 11009u, 11010u, 11011u, 11012u, 11013u, 11014u}) {
                const bool expected = std::find(c.checked.begin(), c.checked.end(), id) != c.checked.end();
                EXPECT_EQ(expected, IsChecked(dialog, id)) << id;
            }
            // The item 11013 found by id is the check box; the edit is the
            // real window of the same id.
            EXPECT_STREQ("check", dialog.m_view.FindItem(11013)->TagName());
            const bool hotKeyOn = std::find(c.checked.begin(), c.checked.end(), 11009u) != c.checked.end();
            EXPECT_EQ(hotKeyOn, IsWindowEnabled(dialog.m_hotKeyEdit.m_hWnd) != 0);

            // The general page first, then the download page, and back.
            EXPECT_TRUE(IsWindowVisible(dialog.m_hotKeyEdit.m_hWnd));
            EXPECT_FALSE(IsWindowVisible(dialog.m_pathEdit));
            ClickTab(dialog, 1);
            EXPECT_TRUE(IsWindowVisible(dialog.m_pathEdit));
            EXPECT_TRUE(IsWindowVisible(dialog.m_taskCombo));
            EXPECT_FALSE(IsWindowVisible(dialog.m_hotKeyEdit.m_hWnd));
            ClickTab(dialog, 0);
            EXPECT_FALSE(IsWindowVisible(dialog.m_pathEdit));
            EXPECT_TRUE(IsWindowVisible(dialog.m_hotKeyEdit.m_hWnd));

            // Changes made and then abandoned.
            SetWindowTextW(dialog.m_pathEdit, L"D:\\其他");
            SendMessageW(dialog.m_taskCombo, CB_SETCURSEL, 6, 0);
            ClickItem(dialog, IDC_SETUP_AUTOSTART);
            ClickItem(dialog, IDC_SETUP_RECEIVEAD);
            if (c.close)
                ClickItem(dialog, c.close);
            else
                SendMessageW(dialog.m_hWnd, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(kSetupEndCode, code);
        EXPECT_EQ(before, IniBytes());
    }
}

TEST_F(SetupTest, SavingWritesEachSettingAndPutsItIntoEffect)
{
    // A fresh install: nothing stored but the download root.
    Store(L"DownLoad", L"Path", app.Path());
    _Module.m_nAlertDown = 0;
    _Module.m_nSubscription = 1;
    _Module.m_nReceiveAd = 1;
    DeleteRunValue();
    const int code = RunDialog([&](CGBSetup& dialog) {
        ClickItem(dialog, IDC_SETUP_ALERTDOWN);    // on
        ClickItem(dialog, IDC_SETUP_SUBSCRIPTION); // off
        ClickItem(dialog, IDC_SETUP_EXIT);
        ClickTab(dialog, 1);
        ClickItem(dialog, IDC_SETUP_AUTODOWN); // on
        SendMessageW(dialog.m_taskCombo, CB_SETCURSEL, 0, 0);
        SendMessageW(dialog.m_threadCombo, CB_SETCURSEL, 3, 0);
        ClickItem(dialog, IDC_SETUP_OK);
    });
    EXPECT_EQ(kSetupEndCode, code);
    struct Expected {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    const Expected written[] = {
        {L"DownLoad", L"Task", L"1"},       {L"DownLoad", L"Thread", L"4"},
        {L"DownLoad", L"AutoDown", L"1"},   {L"Common", L"AutoStart", L"1"},
        {L"Common", L"UseHotKey", L"0"},    {L"Common", L"AlertDown", L"1"},
        {L"Common", L"MinOrClose", L"0"},   {L"Common", L"Subscription", L"0"},
        {L"Common", L"ReceiveAd", L"1"},    {L"Common", L"HotKey", L"<absent>"},
        {L"DownLoad", L"Path", app.Path()},
    };
    for (const Expected& e : written)
        EXPECT_EQ(CString(e.value), Stored(e.section, e.key)) << Wide(e.key).c_str();
    EXPECT_EQ(1, _Module.m_nAlertDown);
    EXPECT_EQ(0, _Module.m_nSubscription);
    EXPECT_EQ(1, _Module.m_nReceiveAd);
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    EXPECT_EQ(RunCommandText(program), RunValue());

    // Start with Windows turned off again removes the Run value; the other
    // settings stay as they are.
    RunDialog([&](CGBSetup& dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_SETUP_AUTOSTART));
        EXPECT_EQ(CString(L"1"), ComboText(dialog, dialog.m_taskCombo));
        ClickItem(dialog, IDC_SETUP_AUTOSTART);
        ClickItem(dialog, IDC_SETUP_OK);
    });
    EXPECT_EQ(CString(L"0"), Stored(L"Common", L"AutoStart"));
    EXPECT_EQ(CString(L"<none>"), RunValue());
    EXPECT_EQ(CString(L"1"), Stored(L"DownLoad", L"AutoDown"));
}

TEST_F(SetupTest, TypedTaskAndThreadNumbersCountWithinTheirRange)
{
    struct Case {
        const wchar_t* task;
        const wchar_t* thread;
        const wchar_t* storedTask;
        const wchar_t* storedThread;
    };
    const Case cases[] = {
        {L"7", L"5", L"7", L"5"},
        {L" 3 ", L"1", L"3", L"1"},
        {L"11", L"0", L"4", L"2"}, // out of range: the stored values stay
        {L"abc", L"", L"4", L"2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Wide(c.task).c_str());
        WriteFileBytes(Ini(), "");
        Store(L"DownLoad", L"Task", L"4");
        Store(L"DownLoad", L"Thread", L"2");
        RunDialog([&](CGBSetup& dialog) {
            SendMessageW(dialog.m_taskCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            SetWindowTextW(dialog.m_taskCombo, c.task);
            SendMessageW(dialog.m_threadCombo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            SetWindowTextW(dialog.m_threadCombo, c.thread);
            ClickItem(dialog, IDC_SETUP_OK);
        });
        EXPECT_EQ(CString(c.storedTask), Stored(L"DownLoad", L"Task"));
        EXPECT_EQ(CString(c.storedThread), Stored(L"DownLoad", L"Thread"));
    }
}

TEST_F(SetupTest, BossKeyIsRegisteredOnTheMainWindowAndTurnedOff)
{
    Store(L"Common", L"UseHotKey", L"0");
    const int id = HotKeyId();
    // Turned on: the key pressed in the edit (Ctrl+Alt+K) is registered at
    // once on the main window and stored with its code.
    RunDialog([&](CGBSetup& dialog) {
        ClickItem(dialog, IDC_SETUP_USEHOTKEY);
        EXPECT_TRUE(IsWindowEnabled(dialog.m_hotKeyEdit.m_hWnd));
        SetWindowTextW(dialog.m_hotKeyEdit.m_hWnd, L"Ctrl+Alt+K");
        dialog.m_hotKeyEdit.m_nVirtualKey = 'K';
        ClickItem(dialog, IDC_SETUP_OK);
    });
    EXPECT_EQ(CString(L"1"), Stored(L"Common", L"UseHotKey"));
    EXPECT_EQ(CString(L"Ctrl+Alt+K"), Stored(L"Common", L"HotKey"));
    EXPECT_EQ(CString(L"75"), Stored(L"Common", L"HotKey_V"));
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_FALSE(UnregisterHotKey(mainWindow, id + 1)); // no stray id
    EXPECT_TRUE(UnregisterHotKey(mainWindow, id));
    EXPECT_TRUE(RegisterHotKey(mainWindow, id, MOD_CONTROL | MOD_ALT, 'K'));

    // Turned off: unregistered at once, HotKey " ", the code kept.
    RunDialog([&](CGBSetup& dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_SETUP_USEHOTKEY));
        ClickItem(dialog, IDC_SETUP_USEHOTKEY);
        EXPECT_FALSE(IsWindowEnabled(dialog.m_hotKeyEdit.m_hWnd));
        ClickItem(dialog, IDC_SETUP_OK);
    });
    EXPECT_EQ(CString(L"0"), Stored(L"Common", L"UseHotKey"));
    EXPECT_EQ(CString(L" "), Stored(L"Common", L"HotKey"));
    EXPECT_EQ(CString(L"75"), Stored(L"Common", L"HotKey_V"));
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'K'));

    // The start-up form never registers the blank text left behind, even
    // with the old code stored.
    EXPECT_FALSE(RegisterHotKeyFromText(mainWindow, L" ", id, 'K'));
    EXPECT_FALSE(HotKeyTaken(0, 'K'));
}

TEST_F(SetupTest, BossKeyWithoutAKeyIsRefusedBeforeAnythingIsWritten)
{
    // Turned off earlier: HotKey " " with the old code.
    Store(L"Common", L"UseHotKey", L"0");
    Store(L"Common", L"HotKey", L" ");
    Store(L"Common", L"HotKey_V", L"75");
    const std::string before = IniBytes();
    struct Case {
        const char* name;
        const wchar_t* text;
        int vk;
    };
    const Case cases[] = {
        {"nothing pressed", nullptr, 0},
        {"only Ctrl pressed", L"", VK_CONTROL},
        {"modifiers only", L"Ctrl+Shift+", VK_SHIFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerBoxes({IDOK});
        bool stillOpen = false;
        RunDialog([&](CGBSetup& dialog) {
            ClickItem(dialog, IDC_SETUP_USEHOTKEY);
            ClickItem(dialog, IDC_SETUP_ALERTDOWN);
            if (c.text)
                SetWindowTextW(dialog.m_hotKeyEdit.m_hWnd, c.text);
            dialog.m_hotKeyEdit.m_nVirtualKey = c.vk;
            ClickItem(dialog, IDC_SETUP_OK);
            stillOpen = !dialog.m_end && IsWindow(dialog.m_hWnd);
            ClickItem(dialog, IDC_SETUP_CANCEL);
        });
        EXPECT_TRUE(stillOpen);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ(CString(L"提示"), boxes.back().caption);
        EXPECT_NE(-1, boxes.back().text.Find(L"老板键"));
        EXPECT_EQ(before, IniBytes());
        EXPECT_FALSE(HotKeyTaken(0, 'K'));
        boxes.clear();
    }
}

TEST_F(SetupTest, BossKeyTurnedOnAgainKeepsTheStoredKeyAndCode)
{
    Store(L"Common", L"UseHotKey", L"0");
    Store(L"Common", L"HotKey", L"Shift+[F9]");
    Store(L"Common", L"HotKey_V", L"120");
    RunDialog([&](CGBSetup& dialog) {
        EXPECT_EQ(CString(L"Shift+[F9]"), TextOf(dialog.m_hotKeyEdit.m_hWnd));
        ClickItem(dialog, IDC_SETUP_USEHOTKEY);
        ClickItem(dialog, IDC_SETUP_OK);
    });
    EXPECT_EQ(CString(L"1"), Stored(L"Common", L"UseHotKey"));
    EXPECT_EQ(CString(L"120"), Stored(L"Common", L"HotKey_V"));
    EXPECT_TRUE(HotKeyTaken(MOD_SHIFT, VK_F9));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, HotKeyId()));
}

// Opened again from the tray while it is up, the dialog comes forward
// instead of a second one; the boss key goes to the main window, whatever
// window the dialog was opened over.
TEST_F(SetupTest, OneDialogAtATimeAndTheBossKeyGoesToTheMainWindow)
{
    Store(L"Common", L"UseHotKey", L"0");
    HWND other = CreateWindowExW(0, L"STATIC", L"其他窗口", WS_POPUP | WS_VISIBLE, 300, 300, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    HWND elsewhere = CreateWindowExW(0, L"STATIC", L"另一个窗口", WS_POPUP | WS_VISIBLE, 500, 300, 200, 100,
                                     nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(elsewhere, nullptr);
    const int id = HotKeyId();
    int again = -1;
    RunDialog(
        [&](CGBSetup& dialog) {
            SetActiveWindow(elsewhere);
            ASSERT_EQ(elsewhere, GetActiveWindow());
            again = CGBSetup::Open(mainWindow);
            EXPECT_EQ(dialog.m_hWnd, GetActiveWindow());
            ClickItem(dialog, IDC_SETUP_USEHOTKEY);
            SetWindowTextW(dialog.m_hotKeyEdit.m_hWnd, L"Ctrl+Alt+K");
            dialog.m_hotKeyEdit.m_nVirtualKey = 'K';
            ClickItem(dialog, IDC_SETUP_OK);
        },
        other);
    EXPECT_EQ(0, again);
    EXPECT_EQ(1, setupDialogsUp);
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_FALSE(UnregisterHotKey(other, id));
    EXPECT_TRUE(UnregisterHotKey(mainWindow, id));
    DestroyWindow(elsewhere);
    DestroyWindow(other);
}
