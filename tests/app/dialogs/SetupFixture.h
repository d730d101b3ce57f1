// Runs the settings dialog inside a test: a stand-in main window owns it,
// the program folder and the download roots are temporary folders, and
// every dialog and message box that comes up is answered by the test from
// inside its own modal loop. A loop still running after a while is ended by
// a watchdog with a test failure.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/dialogs/GBSetup.h"
#include "base/RefString.h"
#include "skin/CorvaneMsgBox.h"
#include "tests/support/TempFolder.h"

// Texts in test messages as text, not as pointers.
inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << '"' << text.ToUtf8() << '"';
}

// A message box as it came up.
struct SeenBox {
    CString text;
    CString caption;
};

// Loads the program's skin tables once per process.
void StartSkinForTests();

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the dialog for the main window as the menus do, over the window
    // over (the main window when null); action runs inside its loop once it
    // is up and must end it (a click on 确定, 取消 or the close button, or
    // WM_CLOSE). A second settings dialog that comes up while the action
    // runs is counted and ended at once.
    int RunDialog(const std::function<void(CGBSetup&)>& action, HWND over = nullptr);
    // The buttons the next message boxes get, in order (IDOK, IDYES, IDNO).
    void AnswerBoxes(std::vector<int> buttons) { m_answers.assign(buttons.begin(), buttons.end()); }

    // Settings file access.
    CString Ini() const { return app / L"Config\\common.ini"; }
    void Store(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    CString Stored(const wchar_t* section, const wchar_t* key);
    std::string IniBytes() const { return ReadFileBytes(Ini()); }

    // Clicks a skin item of a dialog with the mouse messages its view gets.
    static void ClickItem(CSkDialogImplBase& dialog, UINT id);
    static void ClickTab(CGBSetup& dialog, int index);
    static CString TextOf(HWND hwnd);
    static bool IsChecked(CGBSetup& dialog, UINT id);

    CTempFolder app;
    HWND mainWindow = nullptr;
    std::vector<UINT> hotKeysSeen; // WM_HOTKEY ids the main window got
    std::vector<SeenBox> boxes;    // every message box that came up
    int setupDialogsUp = 0;        // settings dialogs that came up

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnDialogUp(HWND hwnd);
    void OnWatchdog();

    HWND m_helper = nullptr;
    HHOOK m_hook = nullptr;
    std::function<void(CGBSetup&)> m_action;
    std::deque<int> m_answers;
    HWND m_over = nullptr;
    bool m_inAction = false;
};
